// The local reboot that follows a failed restart request: the device restarts
// itself when the switch daemon could not be told to.
#pragma once

// Runs the shell command "reboot 2>&1 | tee -a xxx.log" (xxx.log in the
// working directory; its output goes there only, never into the response on
// standard output), then replaces the process with /sbin/reboot, argument
// list "reboot" alone. Both name the resolved reboot path when KORVAN_ROOT is
// set (korvan::resolvePath). Returns, with false, only when the replacement
// could not be started.
bool localReboot();
