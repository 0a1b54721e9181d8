// The AJAX dispatcher: one JSON request in the form field postKey, the common
// checks, the handler of its `type`, the configuration snapshot, one JSON
// reply. Every failure ends in a complete reply: the header, then the JSON
// body with `ret` and `retMsg`.
//
// The checks that admit a call (member types, IP access list, session,
// permission) only read: a refused call changes nothing, sends nothing and
// gets no snapshot. Who the caller is comes from the session alone and is
// handed to the handlers as a Caller.
#include "cgi/ajax.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "actions/registry.h"
#include "auth/login.h"
#include "auth/session.h"
#include "cgi/cgic.h"
#include "cgi/page.h"
#include "cgi/permissions.h"
#include "cgi/reply.h"
#include "cgi/reply_stream.h"
#include "cgi/request_shape.h"
#include "daemon/arm.h"
#include "daemon/reboot.h"
#include "ops/access.h"
#include "ops/ops.h"
#include "ops/sellog.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/trace.h"

namespace {

// postKey is read into a buffer of this size: a call holds at most one byte
// less.
constexpr int kPostKeyBuffer = 30000;

// How far the request got. The header must be written exactly once; the
// local reboot after a failed "restart" depends on which checks ran and
// passed.
struct Progress {
  bool headerWritten = false;
  bool admissionRan = false;
  bool admitted = false;
  bool deniedRecorded = false;  // a permission refusal awaits its commit
};
Progress progress;

void writeHeaderOnce() {
  if (progress.headerWritten) return;
  cgiHeaderContentType("text/html;charset=utf-8");
  progress.headerWritten = true;
}

// Reads postKey without its line breaks into `text` and returns the
// reader's result. The buffer is not cleared first: the reader ends what it
// writes with a terminator, and clearing 30 KB would touch fresh pages of
// memory on every request.
cgiFormResultType readPostKey(std::string& text) {
  std::unique_ptr<char[]> buffer(new char[kPostKeyBuffer]);
  const cgiFormResultType result = cgiFormStringNoNewlines("postKey", buffer.get(), kPostKeyBuffer);
  text = buffer.get();
  return result;
}

// The request's `type` as text ("" when absent). A document whose root is not
// an object, or a `type` that is an array or object, throws the JSON
// library's error.
std::string typeOf(const Json::Value& request) { return request["type"].asString(); }

// "saveLanguage": stores the UI language the page shell loads next time.
// Only a plain code is stored, since the page shell writes it into a script.
void onSaveLanguage(const Caller& caller, Json::Value& jsIData, Json::Value&) {
  const std::string language = static_cast<const Json::Value&>(jsIData)["language"].asString();
  if (!isSafeLanguageCode(language)) throw CMyErr(CMyErr::warning, "invalid language");
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  std::string sql = "update secureConf set f_language='" + sqlText(language) + "';";
  CDB::execModify(sql);
  Json::Value entries;
  audit::addEntry(entries, "language", language);
  audit::recordSystem(caller, "saveLanguage", entries);
  transaction.commit();
}

// A handler gets the caller; login alone changes it, to the user it logged in.
using Handler = void (*)(Caller& caller, Json::Value& jsIData, Json::Value& jsOData);

struct Route {
  const char* type;
  Handler handler;
};

// Operations that are not change actions, one line each. (Who may call them
// is the business of cgi/permissions.h.)
const Route kOtherRoutes[] = {
    {"login",
     [](Caller& c, Json::Value& in, Json::Value& out) {
       const std::string address = c.address;
       c = onLogin(in, out, address);
       c.address = address;
     }},
    {"logout", [](Caller& c, Json::Value& in, Json::Value& out) { onLogout(c, in, out); }},
    {"ref", [](Caller&, Json::Value& in, Json::Value& out) { onRef(in, out); }},
    {"qt", [](Caller& c, Json::Value& in, Json::Value& out) { onGrantKvm(c, in, out); }},
    {"setTime", [](Caller& c, Json::Value& in, Json::Value& out) { onSetTimeRecorded(c, in, out); }},
    {"restart", [](Caller& c, Json::Value& in, Json::Value& out) { onRestartRecorded(c, in, out); }},
    {"saveLanguage",
     [](Caller& c, Json::Value& in, Json::Value& out) { onSaveLanguage(c, in, out); }},
    {"unlockUser", [](Caller& c, Json::Value& in, Json::Value& out) { onUnlockUser(c, in, out); }},
    {"selLog", [](Caller& c, Json::Value& in, Json::Value& out) { onSelLog(c, in, out); }},
    {"modifyIPS", [](Caller& c, Json::Value& in, Json::Value& out) { onModifyIPS(c, in, out); }},
    {"modifyServerIPS",
     [](Caller&, Json::Value& in, Json::Value& out) { onModifyServerIPS(in, out); }},
    {"operaSerial",
     [](Caller& c, Json::Value& in, Json::Value& out) { onOperaSerial(c, in, out); }},
    {"convertToClientMode",
     [](Caller&, Json::Value& in, Json::Value& out) { onConvertToClientMode(in, out); }},
    {"unsetDogInfo", [](Caller&, Json::Value& in, Json::Value& out) { onUnsetDogInfo(in, out); }},
};

Handler otherHandler(const std::string& type) {
  for (const Route& route : kOtherRoutes) {
    if (type == route.type) return route.handler;
  }
  return nullptr;
}

void setFailureReply(Json::Value& reply, const std::string& message) {
  // Whatever the request had written may be half done: the reply carries
  // the failure alone.
  reply = Json::Value(Json::objectValue);
  reply["ret"] = "err";
  reply["retMsg"] = message;
}

std::string clientAddress() { return cgiRemoteAddr != nullptr ? cgiRemoteAddr : ""; }

// The checks that admit a call, in order: member types, IP access list,
// session (not for "login"), permission. Returns the caller; throws the
// CMyErr of the first refusal. Nothing here writes the database.
Caller admit(const std::string& type, Json::Value& jsIData) {
  checkMemberTypes(type, jsIData);
  CAjax::initDogDB(jsIData);
  // The device mode and the kind of access list share a row: one statement.
  Json::Value device;
  Json::Value ips;
  CDB::selIPS(ips, &device);
  CDB::isFactory = device["factoryMode"].asString() == "1";
  CAjax::checkIPS(ips);
  Caller caller = type == "login" ? Caller() : session::checkToken(jsIData);
  caller.address = clientAddress();
  try {
    checkPermission(type, caller, jsIData);
  } catch (const CMyErr&) {
    // The session is known: the refusal is recorded (begin2 commits it).
    Json::Value entries;
    audit::addEntry(entries, "request", audit::recordedName(type));
    audit::recordAccess(caller, "denied", entries);
    progress.deniedRecorded = true;
    throw;
  }
  return caller;
}

bool admitsQuietly(Json::Value& jsIData) noexcept {
  try {
    admit(typeOf(jsIData), jsIData);
    return true;
  } catch (...) {
    return false;
  }
}

// A failed "restart" restarts the device locally only when the call was
// admitted: the caller passed the IP access check, holds an open session and
// may restart. When the daemon connection failed before those checks ran,
// they are made here, without throwing.
bool localRebootDue(Json::Value& jsIData, const Json::Value& jsOData) noexcept {
  try {
    if (!jsIData.isObject() || !jsIData["type"].isString() ||
        jsIData["type"].asString() != "restart") {
      return false;
    }
    if (jsOData["ret"].isString() && jsOData["ret"].asString() == "ok") return false;
    // An admitted restart that met a busy database sent nothing and stored no
    // record: the browser retries it.
    if (progress.admitted && jsOData["ret"].asString() == "lockErr") return false;
  } catch (...) {
    return false;
  }
  return progress.admitted || (!progress.admissionRan && admitsQuietly(jsIData));
}

// Whether a successful handler of `type` has stored or sent something. A
// refresh, a log query and a login may simply be asked again.
bool changesState(const std::string& type) {
  return type != "ref" && type != "selLog" && type != "login";
}

// Writes the reply with the operation log read from `log` as it goes out,
// each piece through escapeMarkup as writeJsonReply does, then the trailing
// " \n" that writeJsonReply adds.
void writeStreamedReply(const Json::Value& reply, const korvan::JsonFragments& lists,
                        CLogStream& log) {
  const TextSink out = [](std::string_view piece) {
    const std::string text = escapeMarkup(piece);
    fwrite(text.data(), 1, text.size(), cgiOut);
  };
  writeCompactStreamed(
      reply, lists, "log", [&log](const TextSink& sink) { log.write(sink); }, out);
  out(" \n");
}

}  // namespace

bool CAjax::isAjax() {
  std::string text;
  return readPostKey(text) == cgiFormSuccess;
}

int CAjax::main2(std::string siteLanguage) {
  (void)siteLanguage;  // the page shell's business, not the dispatcher's
  Json::Value jsIData;
  Json::Value jsOData;
  korvan::JsonFragments lists;  // members of jsOData held as finished text
  std::unique_ptr<CLogStream> logStream;
  try {
    Caller caller = begin2(jsIData, jsOData);
    std::string type = typeOf(jsIData);
    if (otherHandler(type) != nullptr) {
      onOtherDBAction(type, caller, jsIData, jsOData);
    } else {
      onModifyDBAction(type, caller, jsIData, jsOData);
    }
    try {
      CDB::selAllTables(caller, jsIData, jsOData, lists);
    } catch (const CMyErr& e) {
      // A change that is stored must not read as failed, least of all as a
      // lock the browser retries: the reply then goes without the snapshot,
      // which the next refresh brings.
      if (!changesState(type)) throw;
      setLog(846, e.what());
    }
    if (type == "selLog") {
      // The query starts now, so that a refusal is still reported; its
      // records are read while the reply is written.
      logStream = std::make_unique<CLogStream>(caller, jsIData);
      if (logStream->empty()) logStream.reset();
    }
    jsOData["ret"] = "ok";
  } catch (const CMyErr& e) {
    setErrorReply(jsOData, e);
  } catch (const Json::Exception& e) {
    setFailureReply(jsOData, std::string("malformed request: ") + e.what());
  } catch (const std::bad_alloc&) {
    setFailureReply(jsOData, "out of memory");
  } catch (const std::exception& e) {
    setFailureReply(jsOData, std::string("internal error: ") + e.what());
  }

  if (localRebootDue(jsIData, jsOData)) {
    // The header goes out before the reboot pipeline writes anything. When
    // the reboot starts, no reply follows; when it cannot, the reply does.
    writeHeaderOnce();
    fflush(cgiOut);
    // A reboot that starts replaces this process: nothing after it runs, so
    // the uploads' temporary files go now.
    cgiFreeResources();
    localReboot();
  }

  writeHeaderOnce();
  if (logStream && jsOData["ret"].asString() == "ok") {
    writeStreamedReply(jsOData, lists, *logStream);
  } else {
    writeJsonReply(jsOData, lists);
  }
  return 0;
}

Caller CAjax::begin2(Json::Value& jsIData, Json::Value& jsOData) {
  (void)jsOData;
  std::string document;
  readPostKey(document);
  Json::Reader reader;
  // A syntax error is not reported: the request goes on with whatever the
  // reader built, and the checks below refuse what is not a valid call.
  (void)reader.parse(document, jsIData, true);

  writeHeaderOnce();

  // The daemon connection comes before every other check, so an unreachable
  // daemon is reported as such even for a call that would be refused. A
  // refused call sends nothing on it.
  const std::string type = typeOf(jsIData);
  initArmCnn(type);

  progress.admissionRan = true;
  // The session check, the sweep and the extension see and leave one state
  // of the sessions; a refused call rolls back and has written nothing.
  korvan::Transaction session(korvan::Transaction::kWrite);
  Caller caller;
  try {
    caller = admit(type, jsIData);
  } catch (const CMyErr&) {
    if (progress.deniedRecorded) session.commit();
    throw;
  }
  progress.admitted = true;

  session::updateAllUserStatusByExpire();
  if (type != "login" && type != "logout") session::updateExpire(caller);
  session.commit();
  return caller;
}

void CAjax::initDogDB(Json::Value& jsIData) {
  const std::string type = typeOf(jsIData);
  const char* holder = nullptr;
  if (type == "updPriv") {
    holder = "priv";
  } else if (type == "insUser" || type == "updUser" || type == "delUser") {
    holder = "userPara";
  }
  if (holder == nullptr) return;
  Json::Value rights = static_cast<const Json::Value&>(jsIData)[holder]["dogDB"];
  jsIData[holder]["dog"] = rights;
}

void CAjax::checkIPS() {
  Json::Value ips;
  CDB::selIPS(ips);
  checkIPS(ips);
}

void CAjax::checkIPS(const Json::Value& ips) {
  const std::string client = cgiRemoteAddr != nullptr ? cgiRemoteAddr : "";
  bool listed = false;
  for (const Json::Value& entry : ips["ips"]) {
    if (entry["ip"].asString() == client) listed = true;
  }
  const std::string kind = ips["type"].asString();
  if ((kind == "0" && listed) || (kind == "1" && !listed)) {
    throw CMyErr(CMyErr::err, "ip black list error(your ip is in the list)");
  }
}

void onOtherDBAction(std::string& type, Caller& caller, Json::Value& jsIData,
                     Json::Value& jsOData) {
  setLog(3193, "onOtherDBAction");
  if (Handler handler = otherHandler(type)) handler(caller, jsIData, jsOData);
}

void onModifyDBAction(std::string& type, const Caller& caller, Json::Value& jsIData,
                      Json::Value& jsOData) {
  // The change action of `type` (CUpdDog_factory for "updDog" when
  // CDB::isFactory is set), run once and dropped afterwards.
  std::unique_ptr<CAction> action = makeAction(type, caller, jsIData, jsOData);
  // A type with no action, the empty type of an unreadable document
  // included, changes nothing.
  if (!action) throw CMyErr(CMyErr::err, "unknown request type");
  action->do2();
}
