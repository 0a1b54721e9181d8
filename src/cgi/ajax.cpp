// The AJAX dispatcher: one JSON request in the form field postKey, the common
// checks, the handler of its `type`, the configuration snapshot, one JSON
// reply. Every failure ends in a complete reply: the header, then the JSON
// body with `ret` and `retMsg`.
#include "cgi/ajax.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "actions/registry.h"
#include "auth/login.h"
#include "auth/session.h"
#include "cgi/cgic.h"
#include "cgi/page.h"
#include "cgi/reply.h"
#include "cgi/reply_stream.h"
#include "daemon/arm.h"
#include "daemon/reboot.h"
#include "ops/ops.h"
#include "ops/sellog.h"
#include "store/db.h"
#include "store/sql.h"

namespace {

// postKey is read into a buffer of this size: a call holds at most one byte
// less.
constexpr int kPostKeyBuffer = 30000;

// How far the request got. The header must be written exactly once; the
// local reboot after a failed "restart" depends on which checks ran and
// passed.
struct Progress {
  bool headerWritten = false;
  bool ipCheckRan = false;
  bool ipCheckPassed = false;
  bool sessionCheckRan = false;
  bool sessionCheckPassed = false;
};
Progress progress;

void writeHeaderOnce() {
  if (progress.headerWritten) return;
  cgiHeaderContentType("text/html;charset=utf-8");
  progress.headerWritten = true;
}

std::string readPostKey() {
  std::vector<char> buffer(kPostKeyBuffer, '\0');
  cgiFormStringNoNewlines("postKey", buffer.data(), kPostKeyBuffer);
  return buffer.data();
}

// The request's `type` as text ("" when absent). A document whose root is not
// an object, or a `type` that is an array or object, throws the JSON
// library's error.
std::string typeOf(const Json::Value& request) { return request["type"].asString(); }

// "saveLanguage": stores the UI language the page shell loads next time.
// Only a plain code is stored, since the page shell writes it into a script.
void onSaveLanguage(Json::Value& jsIData, Json::Value& jsOData) {
  (void)jsOData;
  const std::string language = static_cast<const Json::Value&>(jsIData)["language"].asString();
  if (!isSafeLanguageCode(language)) throw CMyErr(CMyErr::warning, "invalid language");
  std::string sql = "update secureConf set f_language='" + sqlText(language) + "';";
  CDB::execModify(sql);
}

using Handler = void (*)(Json::Value& jsIData, Json::Value& jsOData);

struct Route {
  const char* type;
  Handler handler;
};

// Operations that are not change actions, one line each.
const Route kOtherRoutes[] = {
    {"login", onLogin},
    {"logout", onLogout},
    {"ref", onRef},
    {"qt", CArm::qt},
    {"setTime", CArm::setTime},
    {"restart", CArm::restart},
    {"saveLanguage", onSaveLanguage},
    {"selLog", onSelLog},
    {"modifyIPS", onModifyIPS},
    {"modifyServerIPS", onModifyServerIPS},
    {"operaSerial", onOperaSerial},
    {"convertToClientMode", onConvertToClientMode},
    {"unsetDogInfo", onUnsetDogInfo},
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

bool ipCheckPassesQuietly() noexcept {
  try {
    CAjax::checkIPS();
    return true;
  } catch (...) {
    return false;
  }
}

// A failed "restart" restarts the device locally only when the caller passed
// the IP access check and holds an open session. When the daemon connection
// failed before those checks ran, they are made here, without throwing.
bool localRebootDue(const Json::Value& jsIData, const Json::Value& jsOData) noexcept {
  try {
    if (!jsIData.isObject() || !jsIData["type"].isString() ||
        jsIData["type"].asString() != "restart") {
      return false;
    }
    if (jsOData["ret"].isString() && jsOData["ret"].asString() == "ok") return false;
  } catch (...) {
    return false;
  }
  const bool ipOk = progress.ipCheckPassed || (!progress.ipCheckRan && ipCheckPassesQuietly());
  if (!ipOk) return false;
  return progress.sessionCheckPassed || (!progress.sessionCheckRan && hasOpenSession(jsIData));
}

// The configuration snapshot and the first-login flag of a successful reply.
void addSnapshot(Json::Value& jsIData, Json::Value& jsOData) {
  CDB::selAllTables(jsIData, jsOData);
  if (CDB::isFactory) return;
  std::string sql = "select f_firstLogin from secureConf;";
  std::vector<std::string> keys{"firstLogin"};
  Json::Value flag;
  CDB::sel(false, sql, keys, flag);
  const std::string firstLogin = flag["firstLogin"].asString();
  setLog(845, firstLogin.c_str());
  if (firstLogin == "1") jsOData["firstLogin"] = true;
}

// Whether a successful handler of `type` has stored or sent something. A
// refresh, a log query and a login may simply be asked again.
bool changesState(const std::string& type) {
  return type != "ref" && type != "selLog" && type != "login";
}

// The text filter every piece of a reply goes through on its way out.
std::string replyText(std::string_view piece) { return std::string(piece); }

// Writes the reply with the operation log read from `log` as it goes out,
// each piece through replyText, then the trailing " \n" that
// writeJsonReply adds.
void writeStreamedReply(const Json::Value& reply, CLogStream& log) {
  const TextSink out = [](std::string_view piece) {
    const std::string text = replyText(piece);
    fwrite(text.data(), 1, text.size(), cgiOut);
  };
  writeCompactStreamed(
      reply, "log", [&log](const TextSink& sink) { log.write(sink); }, out);
  out(" \n");
}

}  // namespace

bool CAjax::isAjax() {
  std::vector<char> buffer(kPostKeyBuffer, '\0');
  return cgiFormStringNoNewlines("postKey", buffer.data(), kPostKeyBuffer) == cgiFormSuccess;
}

int CAjax::main2(std::string siteLanguage) {
  (void)siteLanguage;  // the page shell's business, not the dispatcher's
  Json::Value jsIData;
  Json::Value jsOData;
  std::unique_ptr<CLogStream> logStream;
  try {
    begin2(jsIData, jsOData);
    std::string type = typeOf(jsIData);
    if (otherHandler(type) != nullptr) {
      onOtherDBAction(type, jsIData, jsOData);
    } else {
      onModifyDBAction(type, jsIData, jsOData);
    }
    try {
      addSnapshot(jsIData, jsOData);
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
      logStream = std::make_unique<CLogStream>(jsIData);
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
    writeStreamedReply(jsOData, *logStream);
  } else {
    writeJsonReply(jsOData);
  }
  return 0;
}

void CAjax::begin2(Json::Value& jsIData, Json::Value& jsOData) {
  const std::string document = readPostKey();
  Json::Reader reader;
  // A syntax error is not reported: the request goes on with whatever the
  // reader built, and the checks below refuse what is not a valid call.
  (void)reader.parse(document, jsIData, true);

  writeHeaderOnce();

  // The daemon connection comes before every other check, so an unreachable
  // daemon is reported as such even for a call that would be refused.
  initArmCnn(typeOf(jsIData));
  initDogDB(jsIData);

  progress.ipCheckRan = true;
  checkIPS();
  progress.ipCheckPassed = true;

  progress.sessionCheckRan = true;
  checkSession(jsIData, jsOData);
  progress.sessionCheckPassed = true;

  std::string sql = " select factoryMode from other2 ";
  std::vector<std::string> keys{"factoryMode"};
  Json::Value mode;
  CDB::sel(false, sql, keys, mode);
  CDB::isFactory = mode["factoryMode"].asString() == "1";
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
  const std::string client = cgiRemoteAddr != nullptr ? cgiRemoteAddr : "";
  bool listed = false;
  for (const Json::Value& entry : static_cast<const Json::Value&>(ips)["ips"]) {
    if (entry["ip"].asString() == client) listed = true;
  }
  const std::string kind = ips["type"].asString();
  if ((kind == "0" && listed) || (kind == "1" && !listed)) {
    throw CMyErr(CMyErr::err, "ip black list error(your ip is in the list)");
  }
}

void onOtherDBAction(std::string& type, Json::Value& jsIData, Json::Value& jsOData) {
  setLog(3193, "onOtherDBAction");
  if (Handler handler = otherHandler(type)) handler(jsIData, jsOData);
}

void onModifyDBAction(std::string& type, Json::Value& jsIData, Json::Value& jsOData) {
  // The change action of `type` (CUpdDog_factory for "updDog" when
  // CDB::isFactory is set), run once and dropped afterwards.
  std::unique_ptr<CAction> action = makeAction(type, jsIData, jsOData);
  // A type with no action, the empty type of an unreadable document
  // included, changes nothing.
  if (!action) throw CMyErr(CMyErr::err, "unknown request type");
  action->do2();
}
