// The state of log forwarding: the syslog collectors' settings and, per
// collector, how far the operation log was delivered. It lives in a small
// database of its own beside the configuration database
// (/usr/app/korvan-forward.db), so that replacing the configuration (an upload
// or a restore) neither drops the collectors nor moves their cursors.
//
// Per collector (slot 1 or 2): host, port, protocol ("udp", "tcp", "tls"),
// facility number, CA certificates (PEM text); the cursor, the id of the last
// record delivered, with that record's time and type, which tell a log that
// was replaced under the cursor; the records counted lost so far; the last
// error and when it came; until when the collector is skipped after a
// failure; when a delivery last succeeded. Records sent while their outcome
// was still unknown wait in `awaiting` for their completion to be sent.
//
// The file is opened with the guarded settings of every connection
// (store/connection_guard.h) and mode 0600. Every failure throws CMyErr(err).
//
// Durability. The file is written after nearly every request (a cursor moved),
// so it is kept in write-ahead-log mode: a commit appends to the log without
// waiting for the disk, and the file stays sound after a power cut. What such
// a cut may lose is the last cursor advances, which only sends those records
// again (at least once allows it). A change of the settings is a choice of an
// administrator and is committed durably (begin(Commit::durable)). The log is
// kept when the connection closes (each request is a new process, the last
// connection of the file, and would otherwise pay a checkpoint with its disk
// waits every time); it is copied into the file and emptied once it holds
// kCheckpointPages pages, about every thirty deliveries.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <vector>

#include "util/syslog_message.h"

namespace logfwd {

inline constexpr std::string_view kForwardDbPath = "/usr/app/korvan-forward.db";
inline constexpr int kCollectorSlots = 2;

struct Collector {
  int slot = 0;
  std::string host;
  int port = 0;
  std::string protocol;
  int facility = kFacilityLocal0;
  std::string ca;
  long long cursor = 0;
  std::string cursorTime;
  std::string cursorTypeSub;
  long long lostTotal = 0;
  std::string lastError;
  long long lastErrorAt = 0;  // epoch seconds, 0 for never
  long long skipUntil = 0;
  long long deliveredAt = 0;
};

// Whether the forwarding file exists: a device that never had a collector
// does not open it (a plain stat()).
bool forwardingConfigured();

class ForwardState {
 public:
  // Opens the file, creating it and its tables when missing.
  ForwardState();
  ~ForwardState();
  ForwardState(const ForwardState&) = delete;
  ForwardState& operator=(const ForwardState&) = delete;

  std::vector<Collector> collectors();
  std::optional<Collector> collector(int slot);

  // Stores the settings of `c.slot`. When the destination (host, port,
  // protocol) is new, the delivery state starts afresh with c's cursor;
  // otherwise it is kept and only a skip is lifted.
  void saveSettings(const Collector& c);
  void remove(int slot);

  // A delivery reached record `id` (time `time`, type `typeSub`) after
  // counting `lost` more records lost; clears the error and the skip.
  void delivered(int slot, long long id, const std::string& time, const std::string& typeSub,
                 long long lost, long long now);
  // A delivery failed with `error`; the collector is skipped until `skipUntil`.
  void failed(int slot, const std::string& error, long long now, long long skipUntil);

  // Records sent while their outcome was unknown.
  std::vector<long long> awaiting(int slot);
  // Adds `id`, keeping at most kMaxAwaiting per slot (the oldest go).
  void await(int slot, long long id);
  void completed(int slot, long long id);
  static constexpr int kMaxAwaiting = 200;

  // Several changes as one: begin() ... commit(), rolled back otherwise.
  // `relaxed` (a delivery's state) may be lost by a power cut right after the
  // commit; `durable` (the settings) returns only once it is on the disk.
  enum class Commit { relaxed, durable };
  void begin(Commit kind = Commit::relaxed);
  void commit();
  // Pages in the write-ahead log that start a checkpoint. Each process
  // reads the whole log when it opens the file, so it is kept short.
  static constexpr int kCheckpointPages = 32;

 private:
  void exec(const std::string& sql);
  sqlite3* db_ = nullptr;
  bool open_ = false;
};

}  // namespace logfwd
