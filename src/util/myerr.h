// CMyErr: the one exception type of the program. Every failure that reaches
// the browser is thrown as a CMyErr; the AJAX dispatcher alone turns it into
// the reply's `ret` and `retMsg`.
#pragma once

#include <stdexcept>
#include <string>

class CMyErr : public std::runtime_error {
 public:
  enum TYPE {
    err = 0,      // ordinary failure: database error, invalid session, refused login
    lockErr = 1,  // the database is locked by another process; retry later
    warning = 2,  // refused because of the user's input or the current state
    armErr = 3,   // the switch daemon failed to connect, answer or accept
  };

  CMyErr(TYPE kind, const std::string& message) : std::runtime_error(message), type(kind) {}
  CMyErr(const CMyErr&) = default;
  CMyErr& operator=(const CMyErr&) = default;
  ~CMyErr() override = default;

  TYPE type;
};
