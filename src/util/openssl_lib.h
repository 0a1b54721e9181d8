// OpenSSL (libcrypto, libssl), loaded with dlopen() by the first call that
// needs it, never linked into the program.
//
// Most requests (a refresh above all) need no cryptography beyond the
// session token's SHA-256, which util/sha256.h computes itself. Linking the
// two libraries made every process map and relocate about 5 MB of code
// before main(): 3 ms of a 10 ms request for libcrypto alone, measured. The
// few requests that seal or open a secret, answer a second factor, ask a
// RADIUS server or talk TLS to a log collector load them here instead.
//
// The tables hold the functions the program calls, typed from OpenSSL's own
// headers, so a call through them is checked like a direct call. Names that
// the headers define as macros (SSL_CTX_set_min_proto_version,
// SSL_set_tlsext_host_name) are reached through the control functions they
// expand to. Only the ABI of the headers (OpenSSL 3) is loaded.
#pragma once

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace korvan {

struct LibCrypto {
#define KORVAN_CRYPTO_FUNCTIONS(F)                                                              \
  F(EVP_CIPHER_CTX_new) F(EVP_CIPHER_CTX_free) F(EVP_CIPHER_CTX_ctrl) F(EVP_aes_256_gcm)       \
  F(EVP_EncryptInit_ex) F(EVP_EncryptUpdate) F(EVP_EncryptFinal_ex) F(EVP_DecryptInit_ex)      \
  F(EVP_DecryptUpdate) F(EVP_DecryptFinal_ex) F(EVP_EncodeBlock) F(EVP_DecodeBlock)            \
  F(EVP_Digest) F(EVP_md5) F(EVP_sha1) F(HMAC) F(ERR_get_error) F(ERR_peek_error)              \
  F(ERR_clear_error) F(ERR_error_string_n) F(BIO_new_mem_buf) F(BIO_free)                      \
  F(PEM_read_bio_X509) F(X509_free) F(X509_STORE_add_cert) F(X509_verify_cert_error_string)    \
  F(X509_VERIFY_PARAM_set1_ip_asc)
#define KORVAN_MEMBER(name) decltype(&::name) name;
  KORVAN_CRYPTO_FUNCTIONS(KORVAN_MEMBER)
};

struct LibSsl {
#define KORVAN_SSL_FUNCTIONS(F)                                                                 \
  F(TLS_client_method) F(SSL_CTX_new) F(SSL_CTX_free) F(SSL_CTX_ctrl) F(SSL_CTX_get_cert_store) \
  F(SSL_CTX_set_verify) F(SSL_new) F(SSL_free) F(SSL_ctrl) F(SSL_set_fd) F(SSL_get0_param)      \
  F(SSL_set1_host) F(SSL_connect) F(SSL_get_verify_result) F(SSL_write) F(SSL_read)             \
  F(SSL_shutdown) F(SSL_get_error)
  KORVAN_SSL_FUNCTIONS(KORVAN_MEMBER)
#undef KORVAN_MEMBER
};

// libcrypto's functions, loaded at the first call. Throws CMyErr
// ("cryptography library unavailable") when the library or one of its
// functions cannot be loaded; every later call then throws the same.
const LibCrypto& libcrypto();

// libssl's functions (and with them libcrypto's, which libssl needs).
// Throws CMyErr ("TLS library unavailable") as libcrypto() does.
const LibSsl& libssl();

}  // namespace korvan
