// CAction: the base of every change action. One action carries out one change
// request: it loads the values before (side A, `da`) and after (side B, `db`)
// the change, refuses a request that changes nothing, writes the database,
// records the change in the operation log and tells the switch daemon, in that
// order (do2), all under one write transaction: the first step that throws a
// CMyErr ends the request and nothing of the change is stored.
//
// A change that tells the daemon (journalPlan gives a plan) stores its record
// first: the record, marked "outcome unknown", and a journal entry with the
// packets and the rows commit before the first packet leaves; the rows and
// the completed record commit after the daemon has accepted, or the record is
// marked failed (store/journal.h). A process that dies in between leaves the
// entry for another request to finish (actions/recovery.h).
#pragma once

#include <json/json.h>

#include <memory>
#include <optional>
#include <string>

#include "actions/recovery.h"
#include "store/journal.h"
#include "util/caller.h"
#include "util/myerr.h"
#include "util/params.h"
#include "util/request_context.h"

class CAction {
 public:
  // Keeps the request's context and references to the decoded request and
  // the reply document; both sides start null.
  CAction(const RequestContext& context, const korvan::Params& params, Json::Value& jsOData);
  CAction(const CAction&) = delete;
  CAction& operator=(const CAction&) = delete;

  // Takes the database's write lock (waiting as every statement does), runs
  // initDaDb, checkChange, journalPlan, modify, log, in that order, on the
  // object's own overrides, commits, then runs afterCommit. Returns when the
  // change and its log record are stored; otherwise the CMyErr of the failing
  // step passes to the caller and nothing is stored. lockErr only ever comes
  // before the daemon is told: a commit that fails after the daemon
  // connection was opened is reported as err.
  //
  // With a journal plan: initDaDb, checkChange, journalPlan, log; the record
  // (marked "outcome unknown") and the journal entry commit; tellArm; then
  // modify with the completed record commit, or, when the daemon refused,
  // the record is marked "failed: <message>" and the rows stay as they were.
  // An open entry of the same object is finished first when its owner died,
  // and otherwise refused with lockErr. SIGTERM, SIGHUP and SIGINT are held
  // from the first commit to the last (util/signal_hold.h).
  void do2();

  // Writes the rows of a journalled change whose side B was `storedDb`, as
  // modify() does, for a change another process told the daemon of.
  void applyJournalled(const Json::Value& storedDb);

  // How the journal keeps a change that tells the daemon.
  struct JournalPlan {
    std::string object;   // the object changed: one open entry each ("server", "dog<id>")
    std::string kind;     // the change, by which recovery makes the action again
    std::string param;    // the request's parameter object the action reads
    Json::Value packets;  // the value-setting packets (actions/journal_packets.h)
    // Writes the rows of an entry of this object left by a process that died.
    recovery::RowWriter writeRows = nullptr;
  };

  const RequestContext context;  // what the dispatcher admitted the request as
  const Caller& caller;          // who asked for the change: the log's author
  const Json::Value& jsIData;    // the request document, as decoded (params.document())
  Json::Value& jsOData;          // the reply document; handed on to the daemon operations
  Json::Value da;                // side A: the stored values, flat, as texts
  Json::Value db;                // side B: the requested values

 protected:
  // Fills da and db. Default: nothing, so both stay null.
  virtual void initDaDb();
  // Throws when there is nothing to do. Default: compares the text form
  // (util/members.h) of every member of da with the member of the same name
  // in db (a missing one reads as the empty text); without any difference
  // CMyErr(warning, "Nothing modified").
  virtual void checkChange();
  // Writes the change to the database.
  virtual void modify() = 0;
  // Writes the operation-log record.
  virtual void log() = 0;
  // Sends the change to the switch daemon; runs only when journalPlan gave a
  // plan. Default: nothing.
  virtual void tellArm();

 public:
  // Declared after the five steps so that they keep the first five slots;
  // virtual so that the dispatcher can own an action through a CAction pointer.
  virtual ~CAction();

 protected:
  // Runs after the commit, outside the write lock: waits that need not hold
  // up other requests. Default: nothing.
  virtual void afterCommit();
  // Called after checkChange: the plan of a change that will tell the daemon
  // anything, every value checked, so that a refused value sends nothing;
  // nothing for a change the daemon does not hear of. Default: nothing.
  virtual std::optional<JournalPlan> journalPlan();

 protected:
  // The request's parameter object `name` (e.g. "userPara"), read without
  // adding members to the request. A member that is there but is not an
  // object is refused with CMyErr(err) naming it; a missing one reads as null.
  const Json::Value& param(const char* name) const;
  // A copy of param(`name`) whose `dog` is the edited rights text of the
  // context: the values of an action that stores console rights.
  Json::Value paramWithRights(const char* name) const;
};

// Writes the stored rows of the journalled change `entry` through a new
// `Action` made on the request it stored, decoded as `P` (a recovery's
// recovery::RowWriter).
template <class Action, class P>
void writeJournalledRowsAs(const journal::Entry& entry) {
  const Json::Value& rows = entry.rows;
  if (!rows.isObject() || !rows["param"].isString()) {
    throw CMyErr(CMyErr::err, "journal: unreadable rows");
  }
  Json::Value request(Json::objectValue), reply(Json::objectValue);
  request[rows["param"].asString()] = rows["request"];
  const RequestContext context;
  const std::unique_ptr<korvan::Params> params = korvan::decodeAs<P>(request);
  Action(context, static_cast<const P&>(*params), reply).applyJournalled(rows["db"]);
}
