// The trace log: one numbered line per trace point, written by every layer
// and shared by all request processes.
#pragma once

// Appends "<line>_Time:HH:MM:SSMsg:::<msg>\n" to the trace log. The file is
// kept to at most 1 MiB: a record that would pass that first moves the file to
// log.txt.1. A log that cannot be opened drops the record.
void setLog(int line, const char* msg);
// Writes the local time of day, "HH:MM:SS", into `buf` (at least 9 bytes).
void getCurTime_forLog(char* buf);
