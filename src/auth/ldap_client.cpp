#include "auth/ldap_client.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <ldap.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "auth/ldap_filter.h"

namespace directory {

namespace {

// The library's entry points, looked up once.
struct Ldap {
  int (*initialize)(LDAP**, const char*);
  int (*set_option)(LDAP*, int, const void*);
  int (*get_option)(LDAP*, int, void*);
  int (*start_tls_s)(LDAP*, LDAPControl**, LDAPControl**);
  int (*connect)(LDAP*);
  int (*sasl_bind_s)(LDAP*, const char*, const char*, struct berval*, LDAPControl**,
                     LDAPControl**, struct berval**);
  int (*search_ext_s)(LDAP*, const char*, int, const char*, char**, int, LDAPControl**,
                      LDAPControl**, struct timeval*, int, LDAPMessage**);
  int (*count_entries)(LDAP*, LDAPMessage*);
  LDAPMessage* (*first_entry)(LDAP*, LDAPMessage*);
  LDAPMessage* (*next_entry)(LDAP*, LDAPMessage*);
  char* (*get_dn)(LDAP*, LDAPMessage*);
  struct berval** (*get_values_len)(LDAP*, LDAPMessage*, const char*);
  void (*value_free_len)(struct berval**);
  int (*msgfree)(LDAPMessage*);
  void (*memfree)(void*);
  int (*unbind_ext_s)(LDAP*, LDAPControl**, LDAPControl**);
  const char* (*err2string)(int);
};

template <class F>
bool bind(void* lib, const char* name, F& f) {
  f = reinterpret_cast<F>(dlsym(lib, name));
  return f != nullptr;
}

// The library's one-time set-up (its first call does it) starts the SASL
// client, which loads every mechanism plugin installed on the system (with
// their own libraries, the Berkeley DB among them): about a third of the
// library's cost at a login, for mechanisms a simple bind never uses. The
// SASL library takes its plugin folder from SASL_PATH; for the set-up it
// names a path that is no folder, so that none is loaded, and the caller's
// value is put back afterwards (the program runs one thread, so nothing
// reads the environment meanwhile).
void initializeWithoutSaslPlugins(const Ldap& l) {
  const char* before = getenv("SASL_PATH");
  const std::optional<std::string> saved = before ? std::optional<std::string>(before) : std::nullopt;
  setenv("SASL_PATH", "/dev/null", 1);
  int version = 0;
  l.get_option(nullptr, LDAP_OPT_PROTOCOL_VERSION, &version);
  if (saved) {
    setenv("SASL_PATH", saved->c_str(), 1);
  } else {
    unsetenv("SASL_PATH");
  }
}

const Ldap* loadLdap() {
  static const Ldap* loaded = [] () -> const Ldap* {
    void* lib = nullptr;
    for (const char* soname : {"libldap-2.5.so.0", "libldap.so.2", "libldap-2.4.so.2", "libldap.so"}) {
      lib = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
      if (lib) break;
    }
    if (!lib) return nullptr;
    static Ldap l;
    bool ok = bind(lib, "ldap_initialize", l.initialize) && bind(lib, "ldap_set_option", l.set_option) &&
              bind(lib, "ldap_get_option", l.get_option) &&
              bind(lib, "ldap_start_tls_s", l.start_tls_s) &&
              bind(lib, "ldap_sasl_bind_s", l.sasl_bind_s) &&
              bind(lib, "ldap_search_ext_s", l.search_ext_s) &&
              bind(lib, "ldap_count_entries", l.count_entries) &&
              bind(lib, "ldap_first_entry", l.first_entry) &&
              bind(lib, "ldap_next_entry", l.next_entry) && bind(lib, "ldap_get_dn", l.get_dn) &&
              bind(lib, "ldap_get_values_len", l.get_values_len) &&
              bind(lib, "ldap_value_free_len", l.value_free_len) &&
              bind(lib, "ldap_msgfree", l.msgfree) && bind(lib, "ldap_memfree", l.memfree) &&
              bind(lib, "ldap_unbind_ext_s", l.unbind_ext_s) &&
              bind(lib, "ldap_err2string", l.err2string);
    // ldap_connect() is newer than the rest: without it the connection is
    // made by the first operation.
    bind(lib, "ldap_connect", l.connect);
    if (ok) initializeWithoutSaslPlugins(l);
    return ok ? &l : nullptr;
  }();
  return loaded;
}

struct timeval timevalOf(Clock::duration d) {
  const long long us = std::chrono::duration_cast<std::chrono::microseconds>(d).count();
  struct timeval tv;
  tv.tv_sec = us > 0 ? us / 1000000 : 0;
  tv.tv_usec = us > 0 ? us % 1000000 : 1;
  return tv;
}

// The CA certificates in a private file of their own for as long as the TLS
// context needs to read them.
class CaFile {
 public:
  explicit CaFile(const std::string& pem) {
    if (pem.empty()) return;
    char name[] = "/tmp/korvan-caXXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return;
    path_ = name;
    size_t done = 0;
    while (done < pem.size()) {
      const ssize_t n = write(fd, pem.data() + done, pem.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    close(fd);
    if (done != pem.size()) remove();
  }
  ~CaFile() { remove(); }
  CaFile(const CaFile&) = delete;
  CaFile& operator=(const CaFile&) = delete;
  const std::string& path() const { return path_; }
  void remove() {
    if (!path_.empty()) unlink(path_.c_str());
    path_.clear();
  }

 private:
  std::string path_;
};

// One connection to one server; unbound when it goes.
class Session {
 public:
  Session(const Ldap& l, LDAP* ld) : l_(l), ld_(ld) {}
  ~Session() {
    if (ld_) l_.unbind_ext_s(ld_, nullptr, nullptr);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  LDAP* get() const { return ld_; }

 private:
  const Ldap& l_;
  LDAP* ld_;
};

struct Results {
  const Ldap& l;
  LDAPMessage* m = nullptr;
  ~Results() {
    if (m) l.msgfree(m);
  }
};

std::string diagnostic(const Ldap& l, LDAP* ld, int rc) {
  std::string text = l.err2string(rc);
  char* message = nullptr;
  if (l.get_option(ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &message) == LDAP_OPT_SUCCESS && message) {
    if (*message) text += std::string(": ") + message;
    l.memfree(message);
  }
  return text;
}

bool isUnreachable(int rc) {
  return rc == LDAP_SERVER_DOWN || rc == LDAP_CONNECT_ERROR || rc == LDAP_TIMEOUT ||
         rc == LDAP_UNAVAILABLE || rc == LDAP_BUSY;
}

// The values of `attribute` in `entry`; binary values (an objectGUID) as
// hexadecimal, others as text.
std::vector<std::string> values(const Ldap& l, LDAP* ld, LDAPMessage* entry, const char* attribute,
                                bool binary = false) {
  std::vector<std::string> out;
  struct berval** vals = l.get_values_len(ld, entry, attribute);
  if (!vals) return out;
  for (struct berval** v = vals; *v; ++v) {
    std::string value((*v)->bv_val, (*v)->bv_len);
    if (binary) {
      static const char kHex[] = "0123456789abcdef";
      std::string hex;
      for (unsigned char c : value) {
        hex.push_back(kHex[c >> 4]);
        hex.push_back(kHex[c & 15]);
      }
      value = hex;
    }
    out.push_back(value);
  }
  l.value_free_len(vals);
  return out;
}

// Whether a TCP connection to the host and port of `uri` can be made within
// `limit`: tells a TLS refusal of ldaps:// from a server that is down.
bool tcpReaches(const std::string& uri, Clock::duration limit) {
  const size_t start = uri.find("://");
  if (start == std::string::npos) return false;
  std::string hostport = uri.substr(start + 3);
  hostport = hostport.substr(0, hostport.find('/'));
  std::string host = hostport;
  std::string port = uri.compare(0, 6, "ldaps:") == 0 ? "636" : "389";
  const size_t colon = hostport.rfind(':');
  if (colon != std::string::npos && hostport.find(']') == std::string::npos) {
    host = hostport.substr(0, colon);
    port = hostport.substr(colon + 1);
  }
  struct addrinfo hints {};
  hints.ai_socktype = SOCK_STREAM;
  struct addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return false;
  bool reached = false;
  const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd >= 0) {
    if (::connect(fd, found->ai_addr, found->ai_addrlen) == 0) {
      reached = true;
    } else {
      struct pollfd p {fd, POLLOUT, 0};
      const int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(limit).count());
      int err = 0;
      socklen_t len = sizeof err;
      reached = poll(&p, 1, ms > 0 ? ms : 1) == 1 &&
                getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
    }
    close(fd);
  }
  freeaddrinfo(found);
  return reached;
}

// What one server says. `answer.outcome` is unreachable when the next
// server should be tried.
void askServer(const Ldap& l, const Config& config, const std::string& uri,
               const std::string& name, const std::string& password, Clock::time_point deadline,
               Answer& answer) {
  answer.server = uri;
  answer.outcome = Outcome::unreachable;
  const Clock::time_point serverEnd =
      std::min(deadline, Clock::now() + std::chrono::seconds(config.timeout));
  auto left = [&] { return timevalOf(serverEnd - Clock::now()); };

  LDAP* raw = nullptr;
  if (l.initialize(&raw, uri.c_str()) != LDAP_SUCCESS || !raw) {
    answer.outcome = Outcome::failed;
    answer.reason = "invalid server address";
    answer.steps.push_back({"connect", false, uri + ": invalid server address"});
    return;
  }
  Session session(l, raw);
  LDAP* ld = session.get();
  const int version = LDAP_VERSION3;
  l.set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
  l.set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
  struct timeval tv = left();
  l.set_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &tv);
  l.set_option(ld, LDAP_OPT_TIMEOUT, &tv);
  const int require = config.tlsVerify ? LDAP_OPT_X_TLS_DEMAND : LDAP_OPT_X_TLS_NEVER;
  l.set_option(ld, LDAP_OPT_X_TLS_REQUIRE_CERT, &require);
  CaFile ca(config.caPem);
  if (!config.caPem.empty()) {
    if (ca.path().empty()) {
      answer.outcome = Outcome::failed;
      answer.reason = "cannot write the CA certificates";
      return;
    }
    l.set_option(ld, LDAP_OPT_X_TLS_CACERTFILE, ca.path().c_str());
  }
  const int isServer = 0;
  l.set_option(ld, LDAP_OPT_X_TLS_NEWCTX, &isServer);
  ca.remove();

  const bool ldaps = uri.compare(0, 6, "ldaps:") == 0;
  if (l.connect) {
    const int rc = l.connect(ld);
    if (rc != LDAP_SUCCESS) {
      const bool tls = ldaps && tcpReaches(uri, serverEnd - Clock::now());
      answer.reason = (tls ? "TLS refused: " : "unreachable: ") + diagnostic(l, ld, rc);
      answer.steps.push_back({tls ? "TLS" : "connect", false, uri + ": " + answer.reason});
      return;
    }
    answer.steps.push_back({"connect", true, uri});
  }
  if (!ldaps) {
    const int rc = l.start_tls_s(ld, nullptr, nullptr);
    if (rc != LDAP_SUCCESS) {
      const bool down = rc == LDAP_SERVER_DOWN && !l.connect;
      answer.reason = (down ? "unreachable: " : "TLS refused: ") + diagnostic(l, ld, rc);
      answer.steps.push_back({down ? "connect" : "TLS", false, uri + ": " + answer.reason});
      return;
    }
  }
  answer.steps.push_back({"TLS", true, ldaps ? "ldaps" : "StartTLS"});

  // The service account (or an anonymous bind).
  {
    struct berval cred;
    cred.bv_val = const_cast<char*>(config.bindPw.c_str());
    cred.bv_len = config.bindDn.empty() ? 0 : config.bindPw.size();
    tv = left();
    l.set_option(ld, LDAP_OPT_TIMEOUT, &tv);
    const int rc = l.sasl_bind_s(ld, config.bindDn.empty() ? nullptr : config.bindDn.c_str(),
                                 LDAP_SASL_SIMPLE, &cred, nullptr, nullptr, nullptr);
    if (rc != LDAP_SUCCESS) {
      if (isUnreachable(rc)) {
        answer.reason = "unreachable: " + diagnostic(l, ld, rc);
        answer.steps.push_back({"bind", false, answer.reason});
        return;
      }
      answer.outcome = Outcome::failed;
      answer.reason = "service account refused: " + diagnostic(l, ld, rc);
      answer.steps.push_back({"bind", false, answer.reason});
      return;
    }
    answer.steps.push_back({"bind", true, config.bindDn.empty() ? "anonymous" : config.bindDn});
  }

  // The person's entry.
  const std::optional<std::string> filter = fillFilter(config.filter, name);
  if (!filter) {
    answer.outcome = Outcome::failed;
    answer.reason = "the search filter has no %s";
    return;
  }
  const bool binaryId = strcasecmp(config.idAttr.c_str(), "objectGUID") == 0;
  std::string idAttr = config.idAttr;
  char memberOf[] = "memberOf";
  char* attrs[] = {&idAttr[0], memberOf, nullptr};
  Results found{l};
  tv = left();
  int rc = l.search_ext_s(ld, config.baseDn.c_str(), LDAP_SCOPE_SUBTREE, filter->c_str(), attrs, 0,
                          nullptr, nullptr, &tv, 2, &found.m);
  if (rc != LDAP_SUCCESS && rc != LDAP_SIZELIMIT_EXCEEDED) {
    answer.outcome = isUnreachable(rc) ? Outcome::unreachable : Outcome::failed;
    answer.reason = "search failed: " + diagnostic(l, ld, rc);
    answer.steps.push_back({"search", false, answer.reason});
    return;
  }
  const int count = found.m ? l.count_entries(ld, found.m) : 0;
  if (count == 0) {
    answer.outcome = Outcome::unknown;
    answer.reason = "no such name";
    answer.steps.push_back({"search", false, *filter + ": no entry"});
    return;
  }
  if (count > 1 || rc == LDAP_SIZELIMIT_EXCEEDED) {
    answer.outcome = Outcome::failed;
    answer.reason = "the name matches more than one entry";
    answer.steps.push_back({"search", false, *filter + ": " + answer.reason});
    return;
  }
  LDAPMessage* entry = l.first_entry(ld, found.m);
  char* dnRaw = l.get_dn(ld, entry);
  const std::string dn = dnRaw ? dnRaw : "";
  if (dnRaw) l.memfree(dnRaw);
  const std::vector<std::string> ids = values(l, ld, entry, config.idAttr.c_str(), binaryId);
  if (ids.empty()) {
    answer.outcome = Outcome::failed;
    answer.reason = "the entry has no " + config.idAttr;
    answer.steps.push_back({"search", false, dn + ": " + answer.reason});
    return;
  }
  answer.steps.push_back({"search", true, dn});
  answer.stableId = ids.front();

  // The groups, with the service account's rights.
  if (config.groupSource == GroupSource::memberOf) {
    answer.groups = values(l, ld, entry, "memberOf");
  } else {
    const std::string groupFilter =
        config.groupSource == GroupSource::member
            ? "(member=" + escapeFilterValue(dn) + ")"
            : "(memberUid=" + escapeFilterValue(name) + ")";
    char noAttrs[] = LDAP_NO_ATTRS;
    char* none[] = {noAttrs, nullptr};
    Results groups{l};
    tv = left();
    const std::string& base = config.groupBase.empty() ? config.baseDn : config.groupBase;
    rc = l.search_ext_s(ld, base.c_str(), LDAP_SCOPE_SUBTREE, groupFilter.c_str(), none, 0, nullptr,
                        nullptr, &tv, 0, &groups.m);
    if (rc != LDAP_SUCCESS) {
      answer.outcome = isUnreachable(rc) ? Outcome::unreachable : Outcome::failed;
      answer.reason = "group search failed: " + diagnostic(l, ld, rc);
      answer.steps.push_back({"groups", false, answer.reason});
      return;
    }
    for (LDAPMessage* g = l.first_entry(ld, groups.m); g; g = l.next_entry(ld, g)) {
      char* gdn = l.get_dn(ld, g);
      if (gdn) {
        answer.groups.push_back(gdn);
        l.memfree(gdn);
      }
    }
  }
  std::string listed;
  for (const std::string& g : answer.groups) listed += (listed.empty() ? "" : "; ") + g;
  answer.steps.push_back({"groups", true, listed.empty() ? "none" : listed});

  // The person's own bind decides.
  struct berval cred;
  cred.bv_val = const_cast<char*>(password.c_str());
  cred.bv_len = password.size();
  tv = left();
  l.set_option(ld, LDAP_OPT_TIMEOUT, &tv);
  rc = l.sasl_bind_s(ld, dn.c_str(), LDAP_SASL_SIMPLE, &cred, nullptr, nullptr, nullptr);
  if (rc == LDAP_SUCCESS) {
    answer.outcome = Outcome::accepted;
    answer.steps.push_back({"password", true, dn});
  } else if (rc == LDAP_INVALID_CREDENTIALS) {
    answer.outcome = Outcome::rejected;
    answer.reason = "wrong password";
    answer.steps.push_back({"password", false, answer.reason});
  } else {
    answer.outcome = isUnreachable(rc) ? Outcome::unreachable : Outcome::failed;
    answer.reason = "bind as the person failed: " + diagnostic(l, ld, rc);
    answer.steps.push_back({"password", false, answer.reason});
  }
}

}  // namespace

bool ldapAvailable() { return loadLdap() != nullptr; }

Answer askLdap(const Config& config, const std::string& name, const std::string& password,
               Clock::time_point deadline) {
  Answer answer;
  const Ldap* l = loadLdap();
  if (!l) {
    answer.outcome = Outcome::failed;
    answer.reason = "the LDAP client library is not installed";
    answer.steps.push_back({"connect", false, answer.reason});
    return answer;
  }
  for (const std::string& uri : servers(config)) {
    if (Clock::now() >= deadline) break;
    Answer one;
    one.steps = std::move(answer.steps);
    askServer(*l, config, uri, name, password, deadline, one);
    answer = std::move(one);
    if (answer.outcome != Outcome::unreachable) break;
  }
  return answer;
}

}  // namespace directory
