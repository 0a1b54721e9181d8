#include "util/openssl_lib.h"

#include <dlfcn.h>

#include "util/myerr.h"

namespace korvan {
namespace {

// Opens `soname` (kept for the life of the process) and binds every member of
// `table`; false when the library or any function is missing.
template <class Table, class BindAll>
bool load(const char* soname, Table& table, BindAll bindAll) {
  void* lib = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (lib == nullptr) return false;
  return bindAll(lib, table);
}

template <class F>
bool bind(void* lib, const char* name, F& f) {
  f = reinterpret_cast<F>(dlsym(lib, name));
  return f != nullptr;
}

}  // namespace

const LibCrypto& libcrypto() {
  static const LibCrypto* loaded = []() -> const LibCrypto* {
    static LibCrypto table;
    const bool ok = load("libcrypto.so.3", table, [](void* lib, LibCrypto& t) {
      bool all = true;
#define KORVAN_BIND(name) all = bind(lib, #name, t.name) && all;
      KORVAN_CRYPTO_FUNCTIONS(KORVAN_BIND)
      return all;
    });
    return ok ? &table : nullptr;
  }();
  if (loaded == nullptr) throw CMyErr(CMyErr::err, "cryptography library unavailable");
  return *loaded;
}

const LibSsl& libssl() {
  libcrypto();
  static const LibSsl* loaded = []() -> const LibSsl* {
    static LibSsl table;
    const bool ok = load("libssl.so.3", table, [](void* lib, LibSsl& t) {
      bool all = true;
      KORVAN_SSL_FUNCTIONS(KORVAN_BIND)
#undef KORVAN_BIND
      return all;
    });
    return ok ? &table : nullptr;
  }();
  if (loaded == nullptr) throw CMyErr(CMyErr::err, "TLS library unavailable");
  return *loaded;
}

}  // namespace korvan
