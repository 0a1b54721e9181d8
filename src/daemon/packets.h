// Wire layouts of the switch-daemon protocol.
//
// Every request and reply packet is described here once, as a struct of byte
// fields with no gaps, together with the encoding rules of its fields. The
// packet builders and readers of the program, the switch simulator and the
// tests all use these definitions, so a layout change is made in one place.
//
// Encoding rules:
//  - every packet starts with the three-byte header: 0xA4, the packet length
//    minus two, the packet type; the rest is zero before any field is set;
//  - multi-byte integers are big-endian;
//  - an IPv4 address a.b.c.d travels as d, c, b, a (last octet first); a text
//    that inet_addr cannot read travels as FF FF FF FF;
//  - a text field holds the bytes of the text, cut to the field's width, with
//    no terminator; unused bytes stay zero;
//  - a decimal text becomes a number the way atoi reads it (util/number.h);
//    a one-byte field keeps the low 8 bits.
#pragma once

#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "util/number.h"

namespace korvan::pak {

inline constexpr uint8_t kHeader = 0xA4;

// Request packet types. The reply to a request carries the same type byte.
enum Type : uint8_t {
  kTypeQT = 1,            // KVM session request
  kTypeServerIP = 2,      // server network settings
  kTypeTime = 3,          // set clock
  kTypeRestart = 5,       // restart
  kTypeDogNM = 7,         // console module name
  kTypeDogUID = 8,        // console module identity
  kTypeDogCodeFrame = 9,  // console module code and frame
};

// The common header of every request and reply.
struct Head {
  uint8_t header;   // 0xA4
  uint8_t bodyLen;  // packet length - 2: the bytes after this one, type included
  uint8_t type;
};

// ---- Requests -------------------------------------------------------------

struct QTRequest {  // type 1
  Head head;
  uint8_t dogID;      // dogPara.id, low 8 bits
  char dogUID[17];    // dogPara.uid
  uint8_t port[2];    // not set
  char userNM[33];    // user.nm
  uint8_t userIP[4];  // the browser's address, last octet first
  uint8_t priv[4];    // always 1
  uint8_t code[2];    // not set
  uint8_t userID[4];  // userID
};

struct ServerIPRequest {  // type 2
  Head head;
  uint8_t ip[4];          // last octet first
  uint8_t gateway[4];     // last octet first
  uint8_t subnetMask[4];  // last octet first
  uint8_t portWeb[4];
};

struct TimeRequest {  // type 3
  Head head;
  uint8_t time2[4];  // seconds since the epoch of the local date-time
};

struct RestartRequest {  // type 5
  Head head;
  uint8_t data;  // 0
};

struct DogNMRequest {  // type 7
  Head head;
  uint8_t port;  // dogPara.id, low 8 bits
  char nm[33];
};

struct DogUIDRequest {  // type 8
  Head head;
  uint8_t port;  // dogPara.portID, low 8 bits
  char uid[17];
};

struct DogCodeFrameRequest {  // type 9
  Head head;
  uint8_t port;      // dogPara.portID, low 8 bits
  uint8_t frame[2];  // 16 bits
  uint8_t code[4];   // 32 bits
};

// ---- Replies --------------------------------------------------------------
// The daemon's header bytes and type are not checked by the program.

struct SimpleReply {  // reply to types 2, 3 and 5
  Head head;
  uint8_t ret;  // 0 success
};

struct DogReply {  // reply to types 7, 8 and 9
  Head head;
  uint8_t port;  // not checked
  uint8_t ret;   // 0 success
};

struct QTReply {  // reply to type 1
  Head head;
  uint8_t ret;           // 0 session granted; 1 to 7 refusal reason
  uint8_t desEncode[8];  // session values issued by the daemon
  uint8_t desDecode[8];
};

static_assert(sizeof(QTRequest) == 70 && offsetof(QTRequest, dogUID) == 4 &&
              offsetof(QTRequest, port) == 21 && offsetof(QTRequest, userNM) == 23 &&
              offsetof(QTRequest, userIP) == 56 && offsetof(QTRequest, priv) == 60 &&
              offsetof(QTRequest, code) == 64 && offsetof(QTRequest, userID) == 66);
static_assert(sizeof(ServerIPRequest) == 19 && offsetof(ServerIPRequest, portWeb) == 15);
static_assert(sizeof(TimeRequest) == 7);
static_assert(sizeof(RestartRequest) == 4);
static_assert(sizeof(DogNMRequest) == 37 && offsetof(DogNMRequest, nm) == 4);
static_assert(sizeof(DogUIDRequest) == 21 && offsetof(DogUIDRequest, uid) == 4);
static_assert(sizeof(DogCodeFrameRequest) == 10 && offsetof(DogCodeFrameRequest, frame) == 4 &&
              offsetof(DogCodeFrameRequest, code) == 6);
static_assert(sizeof(SimpleReply) == 4);
static_assert(sizeof(DogReply) == 5);
static_assert(sizeof(QTReply) == 20 && offsetof(QTReply, desEncode) == 4 &&
              offsetof(QTReply, desDecode) == 12);

// ---- Packet types at a glance ---------------------------------------------

enum class ReplyKind { kSimple, kDog, kQT };

struct TypeInfo {
  uint8_t type;
  const char* name;  // short name, as the simulator's options spell it
  size_t requestLen;
  size_t replyLen;
  ReplyKind reply;
};

inline constexpr TypeInfo kTypes[] = {
    {kTypeQT, "qt", sizeof(QTRequest), sizeof(QTReply), ReplyKind::kQT},
    {kTypeServerIP, "serverIP", sizeof(ServerIPRequest), sizeof(SimpleReply), ReplyKind::kSimple},
    {kTypeTime, "time", sizeof(TimeRequest), sizeof(SimpleReply), ReplyKind::kSimple},
    {kTypeRestart, "restart", sizeof(RestartRequest), sizeof(SimpleReply), ReplyKind::kSimple},
    {kTypeDogNM, "dogNM", sizeof(DogNMRequest), sizeof(DogReply), ReplyKind::kDog},
    {kTypeDogUID, "dogUID", sizeof(DogUIDRequest), sizeof(DogReply), ReplyKind::kDog},
    {kTypeDogCodeFrame, "dogCodeFrame", sizeof(DogCodeFrameRequest), sizeof(DogReply),
     ReplyKind::kDog},
};

// The description of a request type, or nullptr for a type that is not sent.
inline const TypeInfo* findType(unsigned type) {
  for (const TypeInfo& info : kTypes) {
    if (info.type == type) return &info;
  }
  return nullptr;
}

// The description whose name or decimal number is `text`, or nullptr.
inline const TypeInfo* findType(std::string_view text) {
  for (const TypeInfo& info : kTypes) {
    if (text == info.name || text == std::to_string(info.type)) return &info;
  }
  return nullptr;
}

// ---- Field encoding -------------------------------------------------------

// Zero-fills `size` bytes at `pak` and writes the common header.
inline void begin(void* pak, size_t size, uint8_t type) {
  auto* bytes = static_cast<uint8_t*>(pak);
  std::memset(bytes, 0, size);
  bytes[0] = kHeader;
  bytes[1] = static_cast<uint8_t>((size & 0xFF) - 2);
  bytes[2] = type;
}

inline void putBE16(uint8_t (&field)[2], uint16_t value) {
  field[0] = static_cast<uint8_t>(value >> 8);
  field[1] = static_cast<uint8_t>(value);
}

inline void putBE32(uint8_t (&field)[4], uint32_t value) {
  field[0] = static_cast<uint8_t>(value >> 24);
  field[1] = static_cast<uint8_t>(value >> 16);
  field[2] = static_cast<uint8_t>(value >> 8);
  field[3] = static_cast<uint8_t>(value);
}

inline uint16_t getBE16(const uint8_t (&field)[2]) {
  return static_cast<uint16_t>(field[0] << 8 | field[1]);
}

inline uint32_t getBE32(const uint8_t (&field)[4]) {
  return static_cast<uint32_t>(field[0]) << 24 | static_cast<uint32_t>(field[1]) << 16 |
         static_cast<uint32_t>(field[2]) << 8 | field[3];
}

// The leading integer of `text` (util/number.h) cut to 32 bits, as a 64-bit
// C library's atoi does; read through long long so that a 32-bit long
// (which saturates instead) gives the same bytes.
inline int32_t wireInt(const std::string& text) {
  const long long value = leadingInteger(text);
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(value)));
}

// A one-byte field's value: the low 8 bits of wireInt.
inline uint8_t wireByte(const std::string& text) { return static_cast<uint8_t>(wireInt(text)); }

// Address text to the four wire bytes, last octet first.
inline void putAddr(uint8_t (&field)[4], const std::string& text) {
  uint32_t host = ntohl(inet_addr(text.c_str()));  // a.b.c.d as a<<24|b<<16|c<<8|d
  field[0] = static_cast<uint8_t>(host);
  field[1] = static_cast<uint8_t>(host >> 8);
  field[2] = static_cast<uint8_t>(host >> 16);
  field[3] = static_cast<uint8_t>(host >> 24);
}

// The four wire bytes of an address as dotted text.
inline std::string addrText(const uint8_t (&field)[4]) {
  return std::to_string(field[3]) + "." + std::to_string(field[2]) + "." +
         std::to_string(field[1]) + "." + std::to_string(field[0]);
}

// Copies the bytes of `text` into a zeroed text field, cut to its width.
template <size_t N>
inline void putText(char (&field)[N], std::string_view text) {
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

// The text of a field: its bytes up to the first zero or the field's end.
template <size_t N>
inline std::string fieldText(const char (&field)[N]) {
  size_t len = 0;
  while (len < N && field[len] != '\0') ++len;
  return std::string(field, len);
}

// Eight bytes as 16 lower-case hexadecimal digits, in byte order.
inline std::string hex8(const uint8_t (&field)[8]) {
  char out[17];
  for (int i = 0; i < 8; ++i) std::snprintf(out + 2 * i, 3, "%02x", field[i]);
  return std::string(out, 16);
}

}  // namespace korvan::pak
