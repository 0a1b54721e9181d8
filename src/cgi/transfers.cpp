// The file transfers themselves: firmware and database upload, database
// download and log export, each served once its request is admitted
// (cgi/filetransfer.h). The configuration database holds every password and
// the firmware slot is what the device installs: an upload replaces its file
// only when complete and recorded.
#include "cgi/transfers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "cgi/cgic.h"
#include "form/form.h"
#include "ops/log_export.h"
#include "store/audit.h"
#include "store/cursor.h"
#include "store/db_import.h"
#include "store/transaction.h"
#include "util/files.h"
#include "util/myerr.h"
#include "util/paths.h"
#include "util/trace.h"
#include "util/trace_ids.h"

// The text of form field `name`; empty when it is missing, empty or too long.
std::string formField(const char* name) {
  constexpr int kFieldBuffer = 1024;
  char value[kFieldBuffer];
  if (cgiFormStringNoNewlines(name, value, sizeof value) != cgiFormSuccess) return "";
  return value;
}

// The one-line text reply of a transfer.
void transferReply(const std::string& text) {
  cgiHeaderContentType("text/html;charset=utf-8");
  fprintf(cgiOut, "%s \n", text.c_str());
}

namespace {

constexpr int kFileNameBuffer = 1024;
constexpr int kUploadPiece = 1024;
constexpr size_t kDownloadPiece = 1000;

// Records a transfer of `size` bytes, committed before the transfer takes
// effect: a transfer without its record would be a gap in the audit trail,
// while a record of a transfer that then failed (a crash, a failed rename)
// only says more than happened. Throws the CMyErr of the engine; the
// transfer must then not go ahead.
void recordTransfer(const Caller& caller, const audit::Event& event, long long size) {
  Json::Value entries;
  audit::addEntry(entries, "file size", std::to_string(size));
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  audit::recordSystem(caller, event, entries);
  transaction.commit();
}

struct UploadCloser {
  void operator()(cgiFile* f) const { cgiFormFileClose(f); }
};

// Temporary copies sit beside the firmware file as "firmupdate.XXXXXX".
constexpr char kTempSuffix[] = ".XXXXXX";

// Removes the temporary copies that no running upload holds: a copy is held
// by an exclusive flock for as long as its upload runs, and the lock goes
// with the process, so a copy whose upload was killed can be locked here and
// is removed.
void removeAbandonedCopies(const std::string& destination) {
  const size_t slash = destination.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : destination.substr(0, slash);
  const std::string prefix = destination.substr(slash + 1) + ".";
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(dir.c_str()), closedir);
  if (!listing) return;
  while (const dirent* entry = readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + sizeof kTempSuffix - 2 ||
        name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const std::string path = dir + "/" + name;
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(path.c_str());
    close(fd);
  }
}

// A new temporary copy beside `destination`, locked for this upload. The
// sweep of another upload may remove a copy between its creation and its
// lock; such a copy is let go and another made.
bool makeLockedCopy(const std::string& destination, korvan::TempFile& temp) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!temp.create(destination + kTempSuffix)) return false;
    const int fd = fileno(temp.file());
    struct stat st {};
    if (flock(fd, LOCK_EX) == 0 && fstat(fd, &st) == 0 && st.st_nlink > 0) return true;
    // Gone already, or left for the next upload's sweep: only closed here.
    temp.release();
    temp.discard();
  }
  return false;
}

// Copies the upload of `fileKey` to the firmware file. The copy goes to a
// temporary file beside it and replaces the file only when every byte is
// written, so a failed upload leaves the previous file as it was. The
// temporary file is removed on every way out; one left by a killed upload
// is removed by the next upload. With `checkDatabase` the copy is replaced by
// its import (store/db_import.h); an upload that is no configuration database
// sets `notDatabase` to the reason and is not stored either.
// `record` is called with the copy's size once the copy is complete and
// checked, before it replaces the file; a CMyErr from it ends the upload.
bool storeUpload(const std::string& fileKey, bool checkDatabase, std::string& notDatabase,
                 const std::function<void(long long)>& record) {
  cgiFile* rawUpload = nullptr;
  if (cgiFormFileOpen(fileKey.c_str(), &rawUpload) != cgiFormSuccess) return false;
  std::unique_ptr<cgiFile, UploadCloser> upload(rawUpload);

  std::string destination = korvan::resolvePath(korvan::kFirmwarePath);
  removeAbandonedCopies(destination);
  korvan::TempFile temp;
  if (!makeLockedCopy(destination, temp)) return false;
  FILE* out = temp.file();
  const int fd = fileno(out);
  // The copy is made private; the firmware file gets the permissions a plain
  // create would give it.
  mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd, 0666 & ~mask) != 0) return false;

  char buffer[kUploadPiece];
  int got = 0;
  cgiFormResultType result;
  while ((result = cgiFormFileRead(upload.get(), buffer, sizeof buffer, &got)) == cgiFormSuccess) {
    if (fwrite(buffer, 1, static_cast<size_t>(got), out) != static_cast<size_t>(got)) {
      return false;
    }
  }
  if (result != cgiFormEOF) return false;
  if (fflush(out) != 0 || fsync(fd) != 0) return false;
  if (checkDatabase) {
    notDatabase = korvan::importConfigurationDatabase(temp.path()).value_or("");
    if (!notDatabase.empty()) return false;
  }
  struct stat copied {};
  if (fstat(fd, &copied) != 0) return false;
  record(static_cast<long long>(copied.st_size));
  // Renamed while still open, so the lock covers the copy until it is the
  // firmware file.
  if (!temp.renameTo(destination)) return false;
  temp.closeFile();  // every byte is already on disk
  return true;
}

}  // namespace

bool hasUpload(const char* field) {
  char fileName[kFileNameBuffer];
  return cgiFormFileName(field, fileName, sizeof fileName) == cgiFormSuccess;
}

bool hasField(const char* field) { return cgiFormCheckboxSingle(field) == cgiFormSuccess; }

bool uploadFile(const RequestContext& context, std::string fileKey, std::string returnMsg,
                std::string failureMsg, const char* notDatabaseMsg, const audit::Event& event) {
  std::string notDatabase;
  bool stored = false;
  try {
    stored = storeUpload(fileKey, notDatabaseMsg != nullptr, notDatabase,
                         [&](long long size) { recordTransfer(context.caller, event, size); });
  } catch (const CMyErr& e) {
    setLog(trace::kUploadNotRecorded,
           (std::string("upload not recorded, not stored: ") + e.what()).c_str());
  }
  if (stored) {
    transferReply(returnMsg);
    return true;
  }
  transferReply(notDatabase.empty() ? failureMsg : std::string(notDatabaseMsg) + ": " + notDatabase);
  return false;
}

void exportLog(const RequestContext& context) {
  Json::Value condition;
  std::unique_ptr<CRowCursor> cursor;
  try {
    Json::Reader reader;
    if (!reader.parse(formField("logCondition"), condition, false) || !condition.isObject()) {
      throw CMyErr(CMyErr::err, "invalid request: logCondition");
    }
    // Checks the condition and starts the query before the header goes out:
    // a refusal still answers as text.
    cursor = std::make_unique<CRowCursor>(logExportSql(context.caller, condition));
  } catch (const CMyErr& e) {
    transferReply(e.what());
    return;
  }
  fputs("Content-Disposition: attachment; filename=korvan-log.csv\r\n", cgiOut);
  cgiHeaderContentType("text/csv; charset=utf-8");
  writeLogCsv(*cursor,
              [](std::string_view piece) { fwrite(piece.data(), 1, piece.size(), cgiOut); });
}

bool downloadDBFile(const RequestContext& context) {
  // The download is recorded first, so the copy carries its own record. Then
  // a read transaction is held for the copy, so that no writer commits while
  // the file is read. When the database is busy, say so instead of sending a
  // file that the browser would save as the database.
  std::unique_ptr<korvan::Transaction> reading;
  const std::string path = korvan::resolvePath(korvan::kDbPath);
  try {
    struct stat st {};
    recordTransfer(context.caller, {"dbDownload", "database download"},
                   stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0);
    reading = std::make_unique<korvan::Transaction>(korvan::Transaction::kRead);
  } catch (const CMyErr& e) {
    transferReply(e.what());
    return false;
  }
  fputs("Content-Disposition:attachment;filename=korvan.db\n", cgiOut);
  cgiHeaderContentType("text/html");

  korvan::FilePtr in(fopen(path.c_str(), "rb"));
  if (in) {
    char buffer[kDownloadPiece];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, in.get())) > 0) fwrite(buffer, 1, got, cgiOut);
  }
  fflush(cgiOut);
  try {
    reading->commit();
  } catch (const CMyErr&) {
    // The copy is complete; the transaction ends with the connection.
  }
  // Closed only now: closing a descriptor of the database file drops every
  // lock this process holds on it, the engine's shared lock included.
  const bool sent = in != nullptr;
  in.reset();
  return sent;
}
