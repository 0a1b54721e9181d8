// Log forwarding: every operation-log record also goes to up to two syslog
// collectors (util/syslog_message.h, daemon/syslog_transport.h), and the
// requests that set them up.
//
// The log is the outbox. A record is committed with its event; the delivery
// runs after the reply, once standard output is closed, so a browser never
// waits for a collector. Each collector has a cursor (store/forward_state.h):
// a delivery sends the records above it in id order and moves it to the last
// record the collector took, so a later request sends what an earlier one
// could not (at least once over TCP and TLS, best effort over UDP).
//
//  - One process delivers at a time (ops/forward_lock.h); the others leave
//    the backlog to it. A delivery that left every collector up to date notes
//    it, so the requests after it open nothing until a new record comes.
//  - A record whose outcome is still unknown holds the delivery back while
//    its process may still complete it (kHoldOpenSeconds); past that it is
//    sent as it stands, and its completion, when it comes ("completed later"),
//    is sent as a message of its own.
//  - Records trimmed from the log before delivery show as gaps in the ids:
//    they are counted and told in one "recordsLost" message before the records
//    after them.
//  - A log that was replaced under the cursor (a restored configuration) is
//    told in a "logReplaced" message; delivery goes on after its newest record
//    older than the last delivered one (records of that same second may come
//    twice, none is skipped).
//  - The whole delivery takes at most kWindowMs, one collector at most
//    kAttemptMs; a collector that failed is skipped for kSkipSeconds.
//  - A held termination signal (util/signal_hold.h) ends the sending early:
//    what the collector took is stored.
#pragma once

#include <json/json.h>

#include "util/request_context.h"
#include "util/request_params.h"

namespace logfwd {

inline constexpr int kWindowMs = 250;
inline constexpr int kAttemptMs = 200;
inline constexpr long long kSkipSeconds = 60;
inline constexpr long long kHoldOpenSeconds = 60;
// Records read for one collector in one attempt. A batch counts as taken only
// once the collector has read all of it within the attempt's 200 ms, so a
// batch too large to be read in that time is never taken and a long backlog
// would never drain (500 records did not, behind a collector that had been
// down); 100 are read in a few milliseconds on loopback.
inline constexpr int kBatchRecords = 100;

// The delivery after the reply. Does nothing (one stat()) on a device
// without collectors, little (the note and the newest id) when nothing is
// new. Never throws: a failure is stored as the collector's last error.
void deliverBacklog();

// selSyslog: `syslog`, one object per collector slot: its settings and its
// state (last record delivered, backlog, records lost, last error and when,
// skipped until, last delivery).
void onSelSyslog(const RequestContext& context, const korvan::NoParams& params, Json::Value& reply);
// setSyslog: stores the settings of one collector after checking each field
// (a warning naming the field otherwise), recorded as system "setSyslog". A
// new destination starts at the newest record, so this record is its first.
// Waits for a delivery that is running (at most a second, "log forwarding
// busy" otherwise).
void onSetSyslog(const RequestContext& context, const korvan::SyslogParams& params,
                 Json::Value& reply);
// testSyslog: sends a test message to the collector now (at most two seconds);
// the warning "syslog test failed: REASON" when it was not taken.
void onTestSyslog(const RequestContext& context, const korvan::SyslogSlotParams& params,
                  Json::Value& reply);

}  // namespace logfwd
