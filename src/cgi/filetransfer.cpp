// File transfers: firmware upload, database upload, database download.
//
// A transfer needs what an AJAX call needs: the client must pass the IP access
// list, the form fields userID and token must name an open session, which
// the transfer extends, and the session's user must be a super administrator.
// Without them nothing is stored and nothing is sent: the configuration
// database holds every password, and the firmware slot is what the device
// installs.
#include "cgi/filetransfer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "auth/session.h"
#include "cgi/ajax.h"
#include "cgi/cgic.h"
#include "cgi/permissions.h"
#include "ops/log_export.h"
#include "ops/sellog.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/files.h"
#include "util/paths.h"
#include "util/trace.h"

namespace {

constexpr int kFileNameBuffer = 1024;
constexpr int kUploadPiece = 1024;
constexpr size_t kDownloadPiece = 1000;
constexpr int kFieldBuffer = 1024;

// Field `name` holds an uploaded file with a file name of 1 to 1,023 bytes.
bool hasUpload(const char* name) {
  char fileName[kFileNameBuffer];
  return cgiFormFileName(name, fileName, sizeof fileName) == cgiFormSuccess;
}

bool isUpSys() { return hasUpload("systemFile"); }
bool isUpDB() { return hasUpload("dbFile"); }
bool isDownDB() { return cgiFormCheckboxSingle("submitDownloadDB") == cgiFormSuccess; }
bool isExportLog() { return cgiFormCheckboxSingle("submitExportLog") == cgiFormSuccess; }

// The text of form field `name`; empty when it is missing, empty or too long.
std::string formField(const char* name) {
  char value[kFieldBuffer];
  if (cgiFormStringNoNewlines(name, value, sizeof value) != cgiFormSuccess) return "";
  return value;
}

// The one-line text reply of a transfer.
void replyText(const std::string& text) {
  cgiHeaderContentType("text/html;charset=utf-8");
  fprintf(cgiOut, "%s \n", text.c_str());
}

// The checks of an AJAX call, in the same order: IP access list, session
// check, permission for `kind` (a transfer kind of cgi/permissions.h), then
// the expiry sweep and the extension. Throws the CMyErr of the first refusal,
// having written nothing. Returns the session's user.
Caller checkTransferAccess(const char* kind) {
  CAjax::checkIPS();
  std::string userId = formField("userID");
  std::string token = formField("token");
  if (!isSqlNumber(userId) || token.empty()) throw CMyErr(CMyErr::err, session::kSessionRefused);
  Json::Value request;
  request["user"]["id"] = userId;
  request["user"]["token"] = token;
  // Check, sweep and extension see and leave one state of the sessions.
  korvan::Transaction session(korvan::Transaction::kWrite);
  Caller caller = session::checkToken(request);
  caller.address = cgiRemoteAddr != nullptr ? cgiRemoteAddr : "";
  try {
    checkPermission(kind, caller, request);
  } catch (const CMyErr&) {
    // The session is known: the refusal is recorded.
    Json::Value entries;
    audit::addEntry(entries, "request", kind);
    audit::recordAccess(caller, "denied", entries);
    session.commit();
    throw;
  }
  session::updateAllUserStatusByExpire();
  session::updateExpire(caller);
  session.commit();
  return caller;
}

// Records a transfer that succeeded, with the size of `path` when given. The
// transfer has happened whatever comes of this, so a record that cannot be
// written goes to the trace log.
void recordTransfer(const Caller& caller, const char* event, const std::string& path) {
  try {
    Json::Value entries;
    struct stat st {};
    if (!path.empty() && stat(path.c_str(), &st) == 0) {
      audit::addEntry(entries, "file size", std::to_string(static_cast<long long>(st.st_size)));
    }
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    audit::recordSystem(caller, event, entries);
    transaction.commit();
  } catch (const CMyErr& e) {
    setLog(3402, (std::string("transfer record not written: ") + e.what()).c_str());
  }
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
// is removed by the next upload.
bool storeUpload(const std::string& fileKey) {
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
  // Renamed while still open, so the lock covers the copy until it is the
  // firmware file.
  if (!temp.renameTo(destination)) return false;
  temp.closeFile();  // every byte is already on disk
  return true;
}

}  // namespace

bool isOperaFile() { return isUpSys() || isUpDB() || isDownDB() || isExportLog(); }

// The log export: the session comes in a POST body only, so that the token
// never stands in a URL (and with it in the web server's and proxies' logs).
void exportLog() {
  Caller caller;
  Json::Value condition;
  try {
    if (cgiRequestMethod == nullptr || std::string(cgiRequestMethod) != "POST") {
      throw CMyErr(CMyErr::err, "the log export takes a POST form");
    }
    caller = checkTransferAccess("selLog");
    Json::Reader reader;
    if (!reader.parse(formField("logCondition"), condition, false) || !condition.isObject()) {
      throw CMyErr(CMyErr::err, "invalid request: logCondition");
    }
    // Checks the condition before the header goes out: a refusal still
    // answers as text.
    Json::Value request;
    request["logCondition"] = condition;
    (void)logQuerySql(caller, request);
  } catch (const CMyErr& e) {
    replyText(e.what());
    return;
  }
  fputs("Content-Disposition: attachment; filename=korvan-log.csv\r\n", cgiOut);
  cgiHeaderContentType("text/csv; charset=utf-8");
  writeLogCsv(caller, condition,
              [](std::string_view piece) { fwrite(piece.data(), 1, piece.size(), cgiOut); });
}

int operaFile() {
  const bool upSys = isUpSys();
  const bool upDB = isUpDB();
  const bool downDB = isDownDB();
  if (!upSys && !upDB && !downDB) {
    if (isExportLog()) exportLog();
    return 0;
  }
  Caller caller;
  try {
    caller =
        checkTransferAccess(upSys ? kFirmwareUpload : upDB ? kDatabaseUpload : kDatabaseDownload);
  } catch (const CMyErr& e) {
    replyText(e.what());
    return 0;
  }
  const std::string firmware = korvan::resolvePath(korvan::kFirmwarePath);
  if (upSys) {
    if (uploadFile("systemFile", "update firmware success")) {
      recordTransfer(caller, "firmwareUpload", firmware);
    }
  } else if (upDB) {
    if (uploadFile("dbFile", "update database success")) {
      recordTransfer(caller, "dbUpload", firmware);
    }
  } else if (downloadDBFile()) {
    recordTransfer(caller, "dbDownload", korvan::resolvePath(korvan::kDbPath));
  }
  return 0;
}

bool uploadFile(std::string fileKey, std::string returnMsg) {
  if (storeUpload(fileKey)) {
    replyText(returnMsg);
    return true;
  }
  replyText(fileKey == "systemFile" ? "update firmware failed" : "update database failed");
  return false;
}

bool downloadDBFile() {
  // Hold a read transaction for the copy, so that no writer commits while the
  // file is read. When the database is busy, say so instead of sending a
  // file that the browser would save as the database.
  std::unique_ptr<korvan::Transaction> reading;
  try {
    reading = std::make_unique<korvan::Transaction>(korvan::Transaction::kRead);
  } catch (const CMyErr& e) {
    replyText(e.what());
    return false;
  }
  fputs("Content-Disposition:attachment;filename=korvan.db\n", cgiOut);
  cgiHeaderContentType("text/html");

  korvan::FilePtr in(fopen(korvan::resolvePath(korvan::kDbPath).c_str(), "rb"));
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
