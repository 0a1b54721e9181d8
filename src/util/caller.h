// Caller: who sent the request being served, as the dispatcher resolved it
// once from the session (never from request members that the browser could
// set freely). Handlers and actions take it by value or const reference, so
// that no lower layer reads identity from the request or the CGI globals.
#pragma once

#include <string>

struct Caller {
  // user2.id of the session's user, decimal text; empty before a login has
  // succeeded.
  std::string id;
  // user2.nm of that user: the operation log's author and the KVM session's
  // user name.
  std::string name;
  // priv2.level of the user's group: 3 super administrator, 2 operator, 1 viewer;
  // 0 when no session is known.
  int level = 0;
  // user2.dog: one right code per console slot ("1" view, "3" view and control).
  std::string rights;
  // The session token the caller holds (the one just issued, for a login).
  std::string token;
  // The client's address in dotted decimal, as the web server reports it.
  std::string address;
  // The session's expiry (epoch seconds, decimal text) as the session check
  // read it; empty when no check ran.
  std::string expiry;
};
