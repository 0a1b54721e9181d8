#include "ops/language.h"

#include <cctype>

#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/myerr.h"

bool isSafeLanguageCode(const std::string& code) {
  if (code.size() > 16) return false;
  for (unsigned char c : code) {
    if (!isalnum(c) && c != '-' && c != '_') return false;
  }
  return true;
}

void onSaveLanguage(const RequestContext& context, const korvan::LanguageParams& params,
                    Json::Value&) {
  const Caller& caller = context.caller;
  const std::string language = params.language;
  if (!isSafeLanguageCode(language)) throw CMyErr(CMyErr::warning, "invalid language");
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  std::string sql = "update secureConf set f_language='" + sqlText(language) + "';";
  CDB::execModify(sql);
  Json::Value entries;
  audit::addEntry(entries, "language", language);
  audit::recordSystem(caller, {"saveLanguage", "save language"}, entries);
  transaction.commit();
}
