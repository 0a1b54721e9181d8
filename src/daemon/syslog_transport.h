// Sending syslog messages to one collector: UDP (RFC 5426), TCP with
// octet-counting framing (RFC 6587) or TLS (RFC 5425), each message a frame
// "LEN SP MESSAGE" over TCP and TLS, a datagram over UDP.
//
// Every wait is bounded by the deadlines the caller gives: the name lookup,
// the connect, the TLS handshake, each write and the closing handshake. A
// collector that is down or does not read costs at most that much.
//
// What counts as taken: over TCP and TLS the sender closes its side after the
// last message and waits for the collector to close its own. A collector
// closes only once it has read everything before the close, so a message
// counts as taken only then; a collector that never reads, or that
// disappears, leaves every message of the connection untaken (the caller
// sends them again later: at least once). Over UDP a datagram counts as taken
// once the kernel sent it (best effort).
//
// The collector's certificate is verified against the CA certificates of the
// target (PEM text), and its name against the host: a DNS name or an IP
// address in the certificate. OpenSSL is initialised only when a TLS target
// is used.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace logfwd {

using Clock = std::chrono::steady_clock;

enum class Protocol { udp, tcp, tls };

// "udp", "tcp", "tls"; false for any other text.
bool protocolOf(const std::string& text, Protocol& protocol);
const char* protocolName(Protocol protocol);

struct Target {
  std::string host;  // DNS name or IPv4/IPv6 address
  int port = 514;
  Protocol protocol = Protocol::udp;
  std::string caPem;  // TLS only
};

struct SendResult {
  size_t taken = 0;   // messages the collector took, from the first
  std::string error;  // why the rest were not; empty when all were
};

// Sends `messages` in order. New messages are written until `writeEnd` or
// until `stop()` returns true; the connection is then closed and the closing
// handshake waited for until `end`. Never throws.
SendResult sendMessages(const Target& target, const std::vector<std::string>& messages,
                        Clock::time_point writeEnd, Clock::time_point end,
                        const std::function<bool()>& stop);

// Whether `pem` holds one or more PEM certificates and nothing that claims to
// be one but does not parse.
bool caTextValid(const std::string& pem);

}  // namespace logfwd
