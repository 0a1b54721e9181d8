#include "ops/forward.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>

#include "daemon/syslog_transport.h"
#include "ops/forward_lock.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/forward_records.h"
#include "store/forward_state.h"
#include "store/journal.h"
#include "store/transaction.h"
#include "util/local_time.h"
#include "util/myerr.h"
#include "util/paths.h"
#include "util/signal_hold.h"
#include "util/syslog_message.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace logfwd {

namespace {

// Time kept from the writes of an attempt for the collector's closing
// handshake, which tells whether it read them.
constexpr int kCloseReserveMs = 25;
constexpr int kTestMs = 2000;
// How long a change of the settings waits for a delivery to end (its window
// and the storing of its state).
constexpr int kSettingsWaitMs = 1000;
constexpr size_t kMaxCaBytes = 64 * 1024;

// Tests shorten the skip after a failure and the hold of an open record
// (seconds, 0 to 86400); the device uses the constants.
long long seconds(const char* variable, long long fallback) {
  const char* text = getenv(variable);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  const long long value = strtoll(text, &end, 10);
  return *end == '\0' && value >= 0 && value <= 86400 ? value : fallback;
}
long long skipSeconds() { return seconds("KORVAN_SYSLOG_SKIP_SECONDS", kSkipSeconds); }
long long holdOpenSeconds() { return seconds("KORVAN_SYSLOG_HOLD_SECONDS", kHoldOpenSeconds); }

// The delivery window, and within it one collector's attempt (four fifths of
// it, as 200 of 250 ms). KORVAN_SYSLOG_WINDOW_MS (50 to 10000) widens it for
// tests run under an emulator, where a TLS handshake alone takes longer than
// the device's whole window.
int windowMs() {
  const char* text = getenv("KORVAN_SYSLOG_WINDOW_MS");
  if (text == nullptr || *text == '\0') return kWindowMs;
  char* end = nullptr;
  const long value = strtol(text, &end, 10);
  return *end == '\0' && value >= 50 && value <= 10000 ? static_cast<int>(value) : kWindowMs;
}
int attemptMs() { return windowMs() == kWindowMs ? kAttemptMs : windowMs() * 4 / 5; }

std::string hostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "-";
  return name;
}

// Whether a record's detail still says its outcome is unknown.
bool outcomeUnknown(const std::string& detail) {
  if (detail.find(journal::kOutcomeUnknown) == std::string::npos) return false;
  return detail.find(std::string("\"outcome\",\"v1\":\"") + journal::kOutcomeUnknown + "\"") !=
         std::string::npos;
}

Target targetOf(const Collector& c) {
  Target t;
  t.host = c.host;
  t.port = c.port;
  protocolOf(c.protocol, t.protocol);
  t.caPem = c.ca;
  return t;
}

// One message of a delivery and what its being taken changes.
struct Planned {
  enum Kind { notice, replaced, completion, record } kind = notice;
  std::string message;
  long long id = 0;  // the record, or the new cursor of `replaced`
  std::string time, typeSub;
  bool open = false;    // sent with its outcome unknown: a completion follows
  long long gap = 0;    // records lost between the one before and this one
};

std::vector<Planned> plan(ForwardState& state, const Collector& c, long long now) {
  std::vector<Planned> items;
  const std::string host = hostName();
  long long base = c.cursor;
  if (c.cursor > 0) {
    const std::optional<Record> atCursor = recordAt(c.cursor);
    const bool replaced =
        atCursor ? !c.cursorTime.empty() &&
                       (atCursor->time != c.cursorTime || atCursor->typeSub != c.cursorTypeSub)
                 : newestRecordId() < c.cursor;
    if (replaced) {
      base = c.cursorTime.empty() ? 0 : newestIdUpTo(c.cursorTime);
      Planned p;
      p.kind = Planned::replaced;
      p.id = base;
      if (const std::optional<Record> r = recordAt(base)) {
        p.time = r->time;
        p.typeSub = r->typeSub;
      }
      p.message = noticeMessage("logReplaced",
                                sdParam("delivered", std::to_string(c.cursor)) +
                                    sdParam("resumeAfter", std::to_string(base)),
                                "the operation log was replaced", c.facility, host, now, true);
      items.push_back(p);
    }
  }
  for (long long id : state.awaiting(c.slot)) {
    const std::optional<Record> r = recordAt(id);
    if (!r) {
      state.completed(c.slot, id);  // trimmed: nothing left to tell
      continue;
    }
    if (outcomeUnknown(r->detail)) continue;
    Planned p;
    p.kind = Planned::completion;
    p.id = id;
    p.message = recordMessage(*r, c.facility, host, Send::completion);
    items.push_back(p);
  }
  long long expected = base + 1;
  long long lost = 0;
  std::vector<Planned> records;
  for (const Record& r : recordsAfter(base, kBatchRecords)) {
    const bool open = outcomeUnknown(r.detail);
    const long long age = now - korvan::secondsAsZoneSays(r.time);
    // Its process may still store the outcome: wait for it, and keep the
    // records after it in order behind it.
    if (open && age >= 0 && age < holdOpenSeconds()) break;
    Planned p;
    p.kind = Planned::record;
    p.id = r.id;
    p.time = r.time;
    p.typeSub = r.typeSub;
    p.open = open;
    p.gap = r.id - expected;
    lost += p.gap;
    expected = r.id + 1;
    p.message = recordMessage(r, c.facility, host);
    records.push_back(std::move(p));
  }
  if (lost > 0) {
    Planned p;
    p.message = noticeMessage("recordsLost",
                              sdParam("count", std::to_string(lost)) +
                                  sdParam("after", std::to_string(base)),
                              std::to_string(lost) + " records were removed before delivery",
                              c.facility, host, now, true);
    items.push_back(p);
  }
  for (Planned& p : records) items.push_back(std::move(p));
  return items;
}

// Stores what the collector took of `items` (the first `taken`) and the
// failure, if any, in one transaction.
void store(ForwardState& state, const Collector& c, const std::vector<Planned>& items,
           const SendResult& result, long long now) {
  state.begin();
  long long cursor = c.cursor;
  std::string time = c.cursorTime, typeSub = c.cursorTypeSub;
  long long lost = 0;
  for (size_t i = 0; i < result.taken && i < items.size(); ++i) {
    const Planned& p = items[i];
    if (p.kind == Planned::completion) state.completed(c.slot, p.id);
    if (p.kind != Planned::replaced && p.kind != Planned::record) continue;
    cursor = p.id;
    time = p.time;
    typeSub = p.typeSub;
    lost += p.gap;
    if (p.open) state.await(c.slot, p.id);
  }
  if (result.taken > 0) state.delivered(c.slot, cursor, time, typeSub, lost, now);
  if (!result.error.empty()) state.failed(c.slot, result.error, now, now + skipSeconds());
  state.commit();
}

bool stopRequested() { return korvan::heldSignalCame(); }

// One pass over the collectors; true when some collector took something.
bool deliverPass(ForwardState& state, Clock::time_point windowEnd) {
  bool progress = false;
  const long long newest = newestRecordId();
  for (const Collector& c : state.collectors()) {
    const long long now = time(nullptr);
    if (Clock::now() >= windowEnd || stopRequested()) break;
    if (c.skipUntil > now) continue;
    // Nothing new, nothing to complete. A log shorter than the cursor was
    // replaced: that is told, and its new records go, at once.
    if (c.cursor == newest && state.awaiting(c.slot).empty()) continue;
    const std::vector<Planned> items = plan(state, c, now);
    if (items.empty()) continue;
    std::vector<std::string> messages;
    for (const Planned& p : items) messages.push_back(p.message);
    const Clock::time_point attemptEnd =
        std::min(Clock::now() + std::chrono::milliseconds(attemptMs()), windowEnd);
    const Clock::time_point writeEnd =
        std::max(Clock::now(), attemptEnd - std::chrono::milliseconds(kCloseReserveMs));
    const SendResult result = sendMessages(targetOf(c), messages, writeEnd, attemptEnd, stopRequested);
    store(state, c, items, result, now);
    if (result.taken > 0) progress = true;
  }
  return progress;
}

// The newest record, when every collector has it and no completion waits.
std::optional<long long> idleAt(ForwardState& state) {
  const long long newest = newestRecordId();
  for (const Collector& c : state.collectors()) {
    if (c.cursor != newest || !state.awaiting(c.slot).empty()) return std::nullopt;
  }
  return newest;
}

int slotOf(const korvan::Number& slot) {
  if (!slot || *slot < 1 || *slot > kCollectorSlots) {
    throw CMyErr(CMyErr::warning, "invalid syslog collector");
  }
  return static_cast<int>(*slot);
}

bool validHost(const std::string& host) {
  if (host.size() > 253 || host.front() == '-' || host.front() == '.') return false;
  for (char c : host) {
    if (!isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != ':') return false;
  }
  return true;
}

std::string whenText(long long seconds) {
  return seconds > 0 ? korvan::localText(static_cast<time_t>(seconds)) : "";
}

}  // namespace

void deliverBacklog() {
  if (!forwardingConfigured()) return;
  const Clock::time_point windowEnd = Clock::now() + std::chrono::milliseconds(windowMs());
  try {
    DeliveryLock lock;
    if (!lock.tryTake()) return;
    if (CDB::dbCnn == nullptr) CDB::cnn();
    // Most requests, a refresh above all, find nothing new since the last
    // delivery: one read of the note and of the newest id tells it.
    const std::optional<long long> note = lock.idleAt();
    if (note && *note == newestRecordId()) return;
    ForwardState state;
    // Records written meanwhile by requests that found the lock taken, and
    // the rest of a backlog, are sent in the same window: by a further pass
    // only while a whole attempt fits in it, since one cut short would take
    // a collector that is merely slow for a failed one and skip it.
    for (int pass = 0; pass < 3; ++pass) {
      if (pass > 0 && Clock::now() + std::chrono::milliseconds(attemptMs()) > windowEnd) break;
      if (!deliverPass(state, windowEnd)) break;
    }
    lock.noteIdle(idleAt(state));
  } catch (const std::exception& e) {  // CMyErr of the stores, or no memory
    setLog(trace::kLogForwardFailed, e.what());
  }
}

void onSelSyslog(const RequestContext&, const korvan::NoParams&, Json::Value& reply) {
  std::vector<Collector> collectors;
  if (forwardingConfigured()) collectors = ForwardState().collectors();
  Json::Value list(Json::arrayValue);
  for (int slot = 1; slot <= kCollectorSlots; ++slot) {
    Json::Value item;
    item["slot"] = slot;
    item["host"] = "";
    for (const Collector& c : collectors) {
      if (c.slot != slot) continue;
      item["host"] = c.host;
      item["port"] = c.port;
      item["protocol"] = c.protocol;
      item["facility"] = facilityName(c.facility);
      item["ca"] = c.ca;
      item["delivered"] = static_cast<Json::Int64>(c.cursor);
      item["backlog"] = static_cast<Json::Int64>(recordsAbove(c.cursor));
      item["lost"] = static_cast<Json::Int64>(c.lostTotal);
      item["lastError"] = c.lastError;
      item["lastErrorAt"] = whenText(c.lastErrorAt);
      item["skippedUntil"] = c.skipUntil > time(nullptr) ? whenText(c.skipUntil) : "";
      item["deliveredAt"] = whenText(c.deliveredAt);
    }
    list.append(item);
  }
  reply["syslog"] = list;
}

void onSetSyslog(const RequestContext& context, const korvan::SyslogParams& params,
                 Json::Value&) {
  Collector c;
  c.slot = slotOf(params.slot);
  c.host = params.host;
  Json::Value entries;
  audit::addEntry(entries, "collector", std::to_string(c.slot));
  audit::addEntry(entries, "host", c.host);
  if (!c.host.empty()) {
    if (!validHost(c.host)) throw CMyErr(CMyErr::warning, "invalid syslog host");
    Protocol protocol;
    if (!protocolOf(params.protocol, protocol)) throw CMyErr(CMyErr::warning, "invalid syslog protocol");
    c.protocol = params.protocol;
    c.port = protocol == Protocol::tls ? 6514 : 514;
    if (!params.port.empty()) {
      char* end = nullptr;
      const long port = strtol(params.port.c_str(), &end, 10);
      if (*end != '\0' || !isdigit(static_cast<unsigned char>(params.port[0])) || port < 1 ||
          port > 65535) {
        throw CMyErr(CMyErr::warning, "invalid syslog port");
      }
      c.port = static_cast<int>(port);
    }
    c.facility = params.facility.empty() ? kFacilityLocal0 : facilityNumber(params.facility);
    if (c.facility < 0) throw CMyErr(CMyErr::warning, "invalid syslog facility");
    if (protocol == Protocol::tls) {
      if (params.ca.size() > kMaxCaBytes || !caTextValid(params.ca)) {
        throw CMyErr(CMyErr::warning, "invalid syslog CA certificates");
      }
      c.ca = params.ca;
    }
    audit::addEntry(entries, "port", std::to_string(c.port));
    audit::addEntry(entries, "protocol", c.protocol);
    audit::addEntry(entries, "facility", facilityName(c.facility));
    audit::addEntry(entries, "CA certificates", c.ca.empty() ? "" : "set");
  }
  // No delivery runs meanwhile: one that read the settings before would store
  // its cursor over the new collector's.
  DeliveryLock lock;
  if (!lock.take(std::chrono::milliseconds(kSettingsWaitMs))) {
    throw CMyErr(CMyErr::warning, "log forwarding busy");
  }
  // The record of this change makes the note stale; the note is cleared as
  // well for a log whose ids were reused (a restored configuration).
  lock.noteIdle(std::nullopt);
  ForwardState state;
  state.begin(ForwardState::Commit::durable);
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  // A new destination starts with the record of this change.
  c.cursor = newestRecordId();
  if (const std::optional<Record> last = recordAt(c.cursor)) {
    c.cursorTime = last->time;
    c.cursorTypeSub = last->typeSub;
  }
  if (c.host.empty()) {
    state.remove(c.slot);
  } else {
    state.saveSettings(c);
  }
  audit::recordSystem(context.caller, {"setSyslog", "set log forwarding"}, entries);
  transaction.commit();
  state.commit();
}

void onTestSyslog(const RequestContext&, const korvan::SyslogSlotParams& params, Json::Value&) {
  const int slot = slotOf(params.slot);
  std::optional<Collector> c;
  if (forwardingConfigured()) c = ForwardState().collector(slot);
  if (!c) throw CMyErr(CMyErr::warning, "syslog collector not set");
  const std::string message =
      noticeMessage("test", sdParam("collector", std::to_string(slot)), "test message",
                    c->facility, hostName(), time(nullptr), false);
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(kTestMs);
  const SendResult result = sendMessages(targetOf(*c), {message},
                                         end - std::chrono::milliseconds(kCloseReserveMs), end,
                                         [] { return false; });
  if (result.taken == 0) throw CMyErr(CMyErr::warning, "syslog test failed: " + result.error);
}

}  // namespace logfwd
