// Where the program finds its files and the switch daemon.
//
// The device layout is fixed (/usr/app/korvan.db, /sbin/reboot, ...). For tests
// and the local development run, the environment variable KORVAN_ROOT moves
// every absolute path except /tmp under that directory, and KORVAN_ARM_PORT
// replaces the daemon port. Every absolute path of the program goes through
// resolvePath(); nothing else reads these two variables.
//
// Tests also shorten the waits of the daemon link with KORVAN_REPLY_TIMEOUT_MS,
// KORVAN_CONNECT_TIMEOUT_MS and KORVAN_PACKET_PAUSE_MS (milliseconds), so that
// the real lengths need to be sat through only where they are the subject.
#pragma once

#include <string>
#include <string_view>

namespace korvan {

// Fixed device paths, before resolution.
inline constexpr std::string_view kDbPath = "/usr/app/korvan.db";
inline constexpr std::string_view kVersionPath = "/usr/app/version";
inline constexpr std::string_view kFirmwarePath = "/usr/app/firmupdate";
inline constexpr std::string_view kHtmlBodyPath = "/usr/app/yal/www/HtmlBody.html";
inline constexpr std::string_view kTraceLogPath = "/usr/app/yal/www/cgi/log.txt";
inline constexpr std::string_view kRebootPath = "/sbin/reboot";
// What the local reboot pipeline prints: in the run folder, outside the web
// root, so that the web server never serves it.
inline constexpr std::string_view kRebootLogPath = "/var/run/korvan-reboot.log";
inline constexpr int kArmPort = 5555;

// Returns `absolute` unchanged when KORVAN_ROOT is unset or empty, or when the
// path lies under /tmp; otherwise KORVAN_ROOT followed by `absolute`.
std::string resolvePath(std::string_view absolute);

// The daemon's TCP port: KORVAN_ARM_PORT when it holds a number from 1 to
// 65535, else 5555.
int armPort();

// Limits of the daemon link, in milliseconds. Each is its environment
// variable when that holds a whole number from 0 to 600000, else the real
// value: the reply wait (KORVAN_REPLY_TIMEOUT_MS, 10000), the connect limit
// (KORVAN_CONNECT_TIMEOUT_MS, 1000) and the pause after each console module
// packet (KORVAN_PACKET_PAUSE_MS, 1000).
inline constexpr int kReplyTimeoutMs = 10000;
inline constexpr int kConnectTimeoutMs = 1000;
inline constexpr int kPacketPauseMs = 1000;
int replyTimeoutMs();
int connectTimeoutMs();
int packetPauseMs();

}  // namespace korvan
