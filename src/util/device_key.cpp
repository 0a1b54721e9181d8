#include "util/device_key.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "util/myerr.h"
#include "util/openssl_lib.h"
#include "util/paths.h"
#include "util/secure_bytes.h"

namespace korvan {
namespace {

constexpr std::string_view kSealPrefix = "k1:";
constexpr size_t kNonceBytes = 12;
constexpr size_t kTagBytes = 16;

struct Fd {
  int fd;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

// The failures, as the browser shows them.
constexpr const char* kKeyUnreadable = "device key unreadable";
constexpr const char* kKeyDamaged = "device key damaged";
constexpr const char* kKeyNotCreated = "device key not created";
constexpr const char* kKeyUnusable = "device key unusable";

[[noreturn]] void keyError(const char* text) { throw CMyErr(CMyErr::err, text); }

// Reads the whole key file; std::nullopt when it does not exist.
std::optional<std::string> readKeyFile(const std::string& path) {
  Fd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (f.fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    keyError(kKeyUnreadable);
  }
  std::string key(kDeviceKeyBytes + 1, '\0');
  size_t got = 0;
  while (got < key.size()) {
    ssize_t n = ::read(f.fd, key.data() + got, key.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) keyError(kKeyUnreadable);
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  if (got != kDeviceKeyBytes) keyError(kKeyDamaged);
  key.resize(kDeviceKeyBytes);
  return key;
}

// Writes a new key under a temporary name and links it into place. Returns
// false when another process created the key file first.
bool createKeyFile(const std::string& path) {
  std::string key(kDeviceKeyBytes, '\0');
  randomBytes(key.data(), key.size());
  std::string temp = path + ".new." + std::to_string(::getpid());
  ::unlink(temp.c_str());  // left by a process of the same id that died here
  {
    Fd f(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (f.fd < 0) keyError(kKeyNotCreated);
    size_t put = 0;
    while (put < key.size()) {
      ssize_t n = ::write(f.fd, key.data() + put, key.size() - put);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ::unlink(temp.c_str());
        keyError(kKeyNotCreated);
      }
      put += static_cast<size_t>(n);
    }
    if (::fsync(f.fd) != 0) {
      ::unlink(temp.c_str());
      keyError(kKeyNotCreated);
    }
  }
  int linked = ::link(temp.c_str(), path.c_str());
  int linkErr = errno;
  ::unlink(temp.c_str());
  if (linked == 0) return true;
  if (linkErr == EEXIST) return false;
  keyError(kKeyNotCreated);
}

std::string base64(const unsigned char* data, size_t n) {
  std::string out(4 * ((n + 2) / 3) + 1, '\0');
  int len = libcrypto().EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), data, static_cast<int>(n));
  out.resize(static_cast<size_t>(len));
  return out;
}

std::optional<std::string> unbase64(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return std::nullopt;
  std::string out(3 * (text.size() / 4), '\0');
  int len = libcrypto().EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                            reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  if (len < 0) return std::nullopt;
  size_t pad = 0;
  if (text.back() == '=') ++pad;
  if (text.size() > 1 && text[text.size() - 2] == '=') ++pad;
  out.resize(static_cast<size_t>(len) - pad);
  return out;
}

using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

}  // namespace

std::string deviceKey() {
  const std::string path = resolvePath(kDeviceKeyPath);
  if (auto key = readKeyFile(path)) return *key;
  createKeyFile(path);  // this process's key, or a racing one's: read it back either way
  if (auto key = readKeyFile(path)) return *key;
  keyError(kKeyUnreadable);
}

std::string sealSecret(std::string_view plain, std::string_view context) {
  const std::string key = deviceKey();
  const LibCrypto& c = libcrypto();
  unsigned char nonce[kNonceBytes];
  randomBytes(nonce, sizeof nonce);
  std::string blob(kNonceBytes + plain.size() + kTagBytes, '\0');
  auto* out = reinterpret_cast<unsigned char*>(blob.data());
  std::memcpy(out, nonce, kNonceBytes);
  CipherCtx ctx(c.EVP_CIPHER_CTX_new(), c.EVP_CIPHER_CTX_free);
  int len = 0;
  bool ok = ctx && c.EVP_EncryptInit_ex(ctx.get(), c.EVP_aes_256_gcm(), nullptr,
                                      reinterpret_cast<const unsigned char*>(key.data()), nonce) == 1 &&
            c.EVP_EncryptUpdate(ctx.get(), nullptr, &len, reinterpret_cast<const unsigned char*>(context.data()),
                              static_cast<int>(context.size())) == 1 &&
            c.EVP_EncryptUpdate(ctx.get(), out + kNonceBytes, &len, reinterpret_cast<const unsigned char*>(plain.data()),
                              static_cast<int>(plain.size())) == 1 &&
            c.EVP_EncryptFinal_ex(ctx.get(), out + kNonceBytes + len, &len) == 1 &&
            c.EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, kTagBytes, out + kNonceBytes + plain.size()) == 1;
  if (!ok) keyError(kKeyUnusable);
  return std::string(kSealPrefix) + base64(out, blob.size());
}

std::optional<std::string> openSecret(std::string_view sealed, std::string_view context) {
  if (sealed.substr(0, kSealPrefix.size()) != kSealPrefix) return std::nullopt;
  auto blob = unbase64(sealed.substr(kSealPrefix.size()));
  if (!blob || blob->size() < kNonceBytes + kTagBytes) return std::nullopt;
  const std::string key = deviceKey();
  const LibCrypto& c = libcrypto();
  auto* in = reinterpret_cast<unsigned char*>(blob->data());
  const size_t n = blob->size() - kNonceBytes - kTagBytes;
  std::string plain(n, '\0');
  CipherCtx ctx(c.EVP_CIPHER_CTX_new(), c.EVP_CIPHER_CTX_free);
  int len = 0;
  bool ok = ctx && c.EVP_DecryptInit_ex(ctx.get(), c.EVP_aes_256_gcm(), nullptr,
                                      reinterpret_cast<const unsigned char*>(key.data()), in) == 1 &&
            c.EVP_DecryptUpdate(ctx.get(), nullptr, &len, reinterpret_cast<const unsigned char*>(context.data()),
                              static_cast<int>(context.size())) == 1 &&
            c.EVP_DecryptUpdate(ctx.get(), reinterpret_cast<unsigned char*>(plain.data()), &len, in + kNonceBytes,
                              static_cast<int>(n)) == 1 &&
            c.EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, kTagBytes, in + kNonceBytes + n) == 1;
  if (!ok) return std::nullopt;
  int tail = 0;
  if (c.EVP_DecryptFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(plain.data()) + len, &tail) != 1)
    return std::nullopt;
  return plain;
}

}  // namespace korvan
