#include "actions/journal_rows.h"

#include "actions/upd_dog.h"
#include "actions/upd_server.h"

recovery::RowWriter journalRowWriter(const std::string& kind) {
  if (kind == CUpdDog::kJournalKind || kind == CUpdDog_factory::kJournalKind) {
    return &CUpdDog::writeJournalledRows;
  }
  if (kind == CUpdServer::kJournalKind) return &CUpdServer::writeJournalledRows;
  return nullptr;
}
