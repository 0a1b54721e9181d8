// Where the program finds its files and the switch daemon.
//
// The device layout is fixed (/usr/app/korvan.db, /sbin/reboot, ...). For tests
// and the local development run, the environment variable KORVAN_ROOT moves
// every absolute path except /tmp under that directory, and KORVAN_ARM_PORT
// replaces the daemon port. Every absolute path of the program goes through
// resolvePath(); nothing else reads these two variables.
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
inline constexpr int kArmPort = 5555;

// Returns `absolute` unchanged when KORVAN_ROOT is unset or empty, or when the
// path lies under /tmp; otherwise KORVAN_ROOT followed by `absolute`.
std::string resolvePath(std::string_view absolute);

// The daemon's TCP port: KORVAN_ARM_PORT when it holds a number from 1 to
// 65535, else 5555.
int armPort();

}  // namespace korvan
