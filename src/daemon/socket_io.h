// Socket I/O of the daemon link: a connect limited to one second by the
// process alarm clock, a reply read limited to ten seconds, and the request
// write. Used only by CArm, CSendPak and CRecvPak; every failure is thrown as
// CMyErr of kind armErr.
#pragma once

#include <netinet/in.h>

#include <cstddef>

inline constexpr unsigned kArmConnectTimeoutSec = 1;
inline constexpr long kArmReadTimeoutSec = 10;

// The SIGALRM handler during a connect. It does nothing: its only effect is
// that the signal interrupts connect() with EINTR instead of ending the
// process. It stays installed afterwards, so a late alarm is harmless.
void socketConnectAlarm(int signo);

// Connects `sockfd` to `saptr`, giving up after one second. The alarm is
// cancelled on every path. On failure the socket is closed and CMyErr(armErr)
// is thrown: "arm connect timeout" when the alarm cut the attempt short, else
// "arm connect error:" followed by the system's error text. On success writes
// trace record 491.
void socketConnectTimeout(int sockfd, const sockaddr_in* saptr, int salen);

// Waits at most ten seconds for `fd` to become readable, then reads once, up
// to `pakLen` bytes, into `pak`. A reply that the one read does not bring
// whole is a failure, and no byte that was not received is ever judged.
// Throws CMyErr(armErr):
//   "arm read ack timeout"        nothing arrived within ten seconds
//   "arm read ack timeout:<text>" waiting failed (select error)
//   "arm read ack closed"         the daemon closed the connection without replying
//   "arm read ack short"          the read brought fewer than `pakLen` bytes
//   "arm read ack error:<text>"   the read itself failed
void socketReadTimeout(int fd, void* pak, int pakLen);

// Writes the whole request packet. A failed or partial write throws
// CMyErr(armErr, "arm write error:<text>"). Never raises SIGPIPE.
void socketWriteAll(int fd, const void* pak, size_t pakLen);
