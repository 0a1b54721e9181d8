// Two small needs of the credential code that must not pull in OpenSSL (see
// util/openssl_lib.h): random bytes from the kernel and a comparison whose
// time does not tell where two secrets first differ.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvan {

// Fills `out` with `n` bytes from the kernel's random source (getrandom(),
// or /dev/urandom on a kernel without it). Throws CMyErr ("random source
// unavailable") if neither delivers; never returns bytes that are not random.
void randomBytes(void* out, size_t n);

// True when `a` and `b` are equal. Strings of the same length are compared in
// a time that depends only on the length; the length itself is not secret.
bool sameBytes(std::string_view a, std::string_view b);

// The `n` bytes at `bytes` as 2n lower-case hexadecimal characters.
std::string lowerHex(const unsigned char* bytes, size_t n);

}  // namespace korvan
