// The numbers of the trace log's records, one per place that writes one, so
// that a line of log.txt leads to exactly one place in the code. A number
// once shipped keeps its meaning: field notes and scripts search for them.
#pragma once

namespace trace {

// Request entry and decoding (cgi/cgic.cpp).
inline constexpr int kCgicEnter = 144;          // "cgic main enter...."
inline constexpr int kRequestMethod = 222;      // the request method
inline constexpr int kRequestMethodRead = 242;  // the method was read
inline constexpr int kBeforeCgiMain = 312;      // the form is decoded
inline constexpr int kCgiMainException = 313;   // cgiMain ended by an exception

// Page shell and dispatch (cgi/page.cpp, cgi/ajax.cpp, cgi/permissions.cpp).
inline constexpr int kSiteLanguage = 4276;       // the UI language from the database
inline constexpr int kCgiMainEnter = 3628;       // "cgiMain enter...."
inline constexpr int kIsAjax = 2914;             // the request carries postKey
inline constexpr int kPageShell = 304;           // "setHtml enter..."
inline constexpr int kPageShellHead = 4273;      // "setHtmlLink enter..."
inline constexpr int kLanguageCommand = 4276;    // the language-file edit command (shares
                                                 // kSiteLanguage's id, as support tools expect)
inline constexpr int kPageBodyMissing = 260;     // HtmlBody.html cannot be opened
inline constexpr int kPermissionDenied = 3301;   // a refused request: type, user, level, address
inline constexpr int kStoredReplyFailed = 846;   // a stored change whose snapshot failed
inline constexpr int kOtherAction = 3193;        // "onOtherDBAction"
inline constexpr int kUploadNotRecorded = 3402;  // an upload refused for its missing record

// Login (auth/login.cpp).
inline constexpr int kLoginRequest = 693;    // the login request, passwords removed
inline constexpr int kPasswordPolicy = 876;  // the password policy
inline constexpr int kLoginChecked = 832;    // the request with the user's row

// Snapshot and slots (ops/).
inline constexpr int kSecureConf = 1163;      // the security settings read
inline constexpr int kFirstLogin = 845;       // the first-login flag
inline constexpr int kSlotUpkeepBusy = 1164;  // slot upkeep left for a busy database
inline constexpr int kKvmSession = 1967;      // a KVM session granted

// Daemon link (daemon/).
inline constexpr int kDaemonConnected = 491;   // "cnn arm ok"
inline constexpr int kKvmReplyRead = 1942;     // the KVM reply is read
inline constexpr int kKvmReplyRefused = 1960;  // the daemon refused the KVM session
inline constexpr int kKvmReplyText = 1949;     // the refusal's text

// The record that comes first (ops/access.cpp, actions/recovery.cpp).
inline constexpr int kActionOutcomeLost = 5101;        // an action's outcome could not be stored
inline constexpr int kLocalRestartNotRecorded = 5102;  // no record, so no local restart
inline constexpr int kJournalResendFailed = 5103;      // a journalled change not sent again
inline constexpr int kJournalRecoveryFailed = 5104;    // the recovery of a request failed
inline constexpr int kSignalHeld = 5105;               // a signal waited for the outcome
inline constexpr int kChangeOutcomeLost = 5106;        // a refused change left journalled

// Log forwarding (ops/forward.cpp).
inline constexpr int kLogForwardFailed = 5301;  // a delivery ended by an error

}  // namespace trace
