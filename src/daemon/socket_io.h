// Socket I/O of the daemon link: a connect limited to one second, a reply
// read limited to ten seconds, and the request write. Both limits can be
// shortened for tests (util/paths.h). Used only by CArm; every failure is
// thrown as CMyErr of kind armErr.
#pragma once

#include <netinet/in.h>

#include <cstddef>

// Connects `sockfd` to `saptr`, giving up after korvan::connectTimeoutMs()
// (one second). The connect runs non-blocking and is waited for with poll(),
// so no signal or signal handler is involved; the socket is blocking again
// afterwards. On failure the socket is closed and CMyErr(armErr) is thrown:
// "arm connect timeout" when the limit passed, else "arm connect error:"
// followed by the system's error text. On success writes trace record 491.
void socketConnectTimeout(int sockfd, const sockaddr_in* saptr, int salen);
// The same with the limit `limitMs` and no trace record.
void socketConnectWithin(int sockfd, const sockaddr_in* saptr, int salen, int limitMs);

// Reads exactly `pakLen` bytes into `pak`, however the daemon splits them,
// waiting at most korvan::replyTimeoutMs() (ten seconds) in all. No byte
// that was not received is ever judged. Throws CMyErr(armErr):
//   "arm read ack timeout"        nothing arrived within the limit
//   "arm read ack timeout:<text>" waiting failed (poll error)
//   "arm read ack closed"         the daemon closed the connection without replying
//   "arm read ack short"          part of the reply came, then the daemon
//                                 closed the connection or the limit passed
//   "arm read ack error:<text>"   the read itself failed
void socketReadTimeout(int fd, void* pak, int pakLen);

// Writes the whole request packet. A failed or partial write throws
// CMyErr(armErr, "arm write error:<text>"). Never raises SIGPIPE.
void socketWriteAll(int fd, const void* pak, size_t pakLen);
