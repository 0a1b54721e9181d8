// The AJAX dispatcher: one JSON request in the form field postKey, the common
// checks, the handler of its `type`, the configuration snapshot, one JSON
// reply. Every failure ends in a complete reply: the header, then the JSON
// body with `ret` and `retMsg`.
//
// What a request type needs comes from its route (cgi/routes.h); the checks
// that admit a call are the admission (cgi/admission.h) that file transfers
// pass as well. Who the caller is comes from the session alone and is handed
// to the handlers, with the device mode and the prepared values, as the
// request's context.
#include "cgi/ajax.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "actions/journal_rows.h"
#include "actions/recovery.h"
#include "cgi/admission.h"
#include "cgi/cgic.h"
#include "cgi/reply.h"
#include "cgi/reply_stream.h"
#include "daemon/arm.h"
#include "daemon/reboot.h"
#include "ops/access.h"
#include "ops/sellog.h"
#include "ops/snapshot.h"
#include "store/db.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace {

// postKey is read into a buffer of this size: a call holds at most one byte
// less.
constexpr int kPostKeyBuffer = 30000;

// How far the request got. The header must be written exactly once; the
// local reboot after a failed restart depends on which checks ran and
// passed.
struct Progress {
  bool headerWritten = false;
  bool admissionRan = false;
  bool admitted = false;
  Caller caller;  // who the admitted request came from
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

void setFailureReply(Json::Value& reply, const std::string& message) {
  // Whatever the request had written may be half done: the reply carries
  // the failure alone.
  reply = Json::Value(Json::objectValue);
  reply["ret"] = "err";
  reply["retMsg"] = message;
}

bool admitsQuietly(const Json::Value& jsIData, Caller& caller) noexcept {
  try {
    const std::string type = typeOf(jsIData);
    std::unique_ptr<korvan::Params> params;
    caller = admit(ajaxRoute(type), type, jsIData, params).caller;
    return true;
  } catch (...) {
    return false;
  }
}

// A failed request whose route says so restarts the device locally, only
// when the call was admitted: the caller passed the IP access check, holds an
// open session and may make it. When the daemon connection failed before
// those checks ran, they are made here, without throwing. A restart without
// its committed record does not happen: the request's own record is marked,
// or, when it has none, one is written here, before the restart.
bool localRebootDue(const Json::Value& jsIData, const Json::Value& jsOData) noexcept {
  std::string failure;
  try {
    if (!jsIData.isObject() || !jsIData["type"].isString() ||
        !ajaxRoute(jsIData["type"].asString()).rebootOnFailure) {
      return false;
    }
    if (jsOData["ret"].isString() && jsOData["ret"].asString() == "ok") return false;
    // An admitted restart that met a busy database sent nothing and stored no
    // record: the browser retries it.
    if (progress.admitted && jsOData["ret"].asString() == "lockErr") return false;
    failure = jsOData["retMsg"].asString();
  } catch (...) {
    return false;
  }
  if (progress.admitted) return recordLocalRestart(progress.caller, failure);
  Caller caller;
  return !progress.admissionRan && admitsQuietly(jsIData, caller) &&
         recordLocalRestart(caller, failure);
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

// Finishes the journalled changes of processes that died (actions/recovery.h)
// on this request's daemon connection. Its failure is not the request's.
void recoverQuietly() {
  try {
    recovery::recoverJournal(journalRowWriter);
  } catch (const CMyErr& e) {
    setLog(trace::kJournalRecoveryFailed, e.what());
  }
}

}  // namespace

bool CAjax::isAjax() {
  std::string text;
  return readPostKey(text) == cgiFormSuccess;
}

int CAjax::main2(std::string siteLanguage) {
  (void)siteLanguage;  // the page shell's business, not the dispatcher's
  // Each call serves one request from its start, also in a process that
  // serves several in turn (the fuzz harness).
  progress = Progress{};
  Json::Value jsIData;
  Json::Value jsOData;
  korvan::JsonFragments lists;  // members of jsOData held as finished text
  std::unique_ptr<CLogStream> logStream;
  try {
    std::unique_ptr<korvan::Params> params;
    RequestContext context = begin2(jsIData, jsOData, params);
    progress.caller = context.caller;
    const Route& route = ajaxRoute(typeOf(jsIData));
    if (route.needsDaemon) recoverQuietly();
    if (route.handler != nullptr) {
      onOtherDBAction(route, context, *params, jsOData);
    } else {
      onModifyDBAction(route, context, *params, jsOData);
    }
    try {
      selAllTables(context, *params, jsOData, lists);
    } catch (const CMyErr& e) {
      // A change that is stored must not read as failed, least of all as a
      // lock the browser retries: the reply then goes without the snapshot,
      // which the next refresh brings.
      if (!route.changesState) throw;
      setLog(trace::kStoredReplyFailed, e.what());
    }
    if (route.streamsLog) {
      // The query starts now, so that a refusal is still reported; its
      // records are read while the reply is written.
      // Only the log query streams: its route decodes LogQueryParams.
      logStream = std::make_unique<CLogStream>(
          context.caller, dynamic_cast<const korvan::LogQueryParams&>(*params));
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

RequestContext CAjax::begin2(Json::Value& jsIData, Json::Value& jsOData,
                             std::unique_ptr<korvan::Params>& params) {
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
  const Route& route = ajaxRoute(type);
  if (route.needsDaemon) CArm::cnn();

  progress.admissionRan = true;
  return admitRequest(route, type, jsIData, progress.admitted, &params);
}

void onOtherDBAction(const Route& route, RequestContext& context, const korvan::Params& params,
                     Json::Value& jsOData) {
  setLog(trace::kOtherAction, "onOtherDBAction");
  if (route.handler != nullptr) route.handler(context, params, jsOData);
}

void onModifyDBAction(const Route& route, const RequestContext& context,
                      const korvan::Params& params, Json::Value& jsOData) {
  // A type with no action, the empty type of an unreadable document
  // included, changes nothing.
  if (route.action == nullptr) throw CMyErr(CMyErr::err, "unknown request type");
  // The route's change action for the context (the device mode may choose
  // the class), run once and dropped afterwards.
  std::unique_ptr<CAction> action = route.action(context, params, jsOData);
  action->do2();
}
