// The local reboot that follows a failed restart request: the device restarts
// itself when the switch daemon could not be told to.
#pragma once

// Runs the shell command "reboot 2>&1 | tee -a LOG" (LOG the run folder's
// korvan-reboot.log, util/paths.h kRebootLogPath, outside the web root; its
// output goes there only, never into the response on standard output), then replaces the process with /sbin/reboot, argument
// list "reboot" alone. Both name the resolved reboot path when KORVAN_ROOT is
// set (korvan::resolvePath). Returns, with false, only when the replacement
// could not be started.
bool localReboot();
