// Login of directory accounts (auth/directory_config.h), beside the local
// accounts of auth/login.h.
//
// A login that goes to the directory runs in three steps, so that no
// database lock is held while a server is slow:
//   1. a short write transaction checks the lock-out of the name (the
//      folded name where the directory ignores case) and counts the attempt
//      in advance, so parallel attempts see it;
//   2. the directory is asked outside any transaction, bounded by twice the
//      configured timeout; at most kMaxConcurrent directory logins run at
//      once on the device (others are told "busy, try again");
//   3. a second write transaction stores the outcome: on success the count
//      is cleared, the person's user2 row (keyed by the directory's stable
//      id in dirUser2) is created or brought to the mapped device group and
//      the session opens; on a refusal the attempt stays counted and may
//      lock the name; when the password was never tested (no server
//      answered, the exchange failed) the advance count is taken back.
//
// The built-in administrator (user2 id 1) always logs in locally. A
// directory name equal to a local account's name is refused and recorded:
// the directory never takes over a local account.
#pragma once

#include <json/json.h>

#include <optional>
#include <string>

#include "util/caller.h"
#include "util/request_context.h"
#include "util/request_params.h"

namespace directory {

inline constexpr int kMaxConcurrent = 4;

// The directory's part of a login: nothing when the login is local (the
// caller then runs the local login), the logged-in caller when the
// directory accepted the person. Throws CMyErr(err) on a refusal, after its
// record is committed.
std::optional<Caller> login(DeviceMode mode, const korvan::LoginParams& params,
                            Json::Value& jsOData, const std::string& address);

}  // namespace directory
