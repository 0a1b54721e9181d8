#include "util/openssl_lib.h"

#include <dlfcn.h>

#include "util/myerr.h"

namespace korvan {
namespace {

template <class F>
bool bind(void* lib, const char* name, F& f) {
  f = reinterpret_cast<F>(dlsym(lib, name));
  return f != nullptr;
}

// Binds member `name` of table `t` from library `lib`; `all` turns false on
// the first missing function.
#define KORVAN_BIND(name) all = bind(lib, #name, t.name) && all;

}  // namespace

// Each library is opened once per process and stays mapped: its functions
// are called through the table until the process ends.
const LibCrypto& libcrypto() {
  static const LibCrypto* loaded = []() -> const LibCrypto* {
    void* lib = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return nullptr;
    static LibCrypto t;
    bool all = true;
    KORVAN_CRYPTO_FUNCTIONS(KORVAN_BIND)
    return all ? &t : nullptr;
  }();
  if (loaded == nullptr) throw CMyErr(CMyErr::err, "cryptography library unavailable");
  return *loaded;
}

const LibSsl& libssl() {
  libcrypto();
  static const LibSsl* loaded = []() -> const LibSsl* {
    void* lib = dlopen("libssl.so.3", RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return nullptr;
    static LibSsl t;
    bool all = true;
    KORVAN_SSL_FUNCTIONS(KORVAN_BIND)
    return all ? &t : nullptr;
  }();
  if (loaded == nullptr) throw CMyErr(CMyErr::err, "TLS library unavailable");
  return *loaded;
}

#undef KORVAN_BIND

}  // namespace korvan
