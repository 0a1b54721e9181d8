// Who may make which request: the one permission table of the program, by
// AJAX request type and by file transfer, consulted before any handler runs,
// any packet is sent or anything is stored.
//
//   anyone            login, logout, ref
//   console right     qt with right "1" or "3" on the module's slot,
//                     operaSerial with right "3"
//   own password      updUser of the caller's own row that changes nothing
//                     but the password (level 3: any updUser)
//   level 2 and 3     selLog, updDog, setTime, unsetDogInfo
//   level 3           every other request type and the three transfers
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"

// The transfer kinds, named as their form fields.
inline constexpr const char* kFirmwareUpload = "systemFile";
inline constexpr const char* kDatabaseUpload = "dbFile";
inline constexpr const char* kDatabaseDownload = "submitDownloadDB";

// The refusal message of a request the caller may not make.
inline constexpr const char* kPermissionDenied = "permission denied";

// Returns when `caller` may make request `type` as `request` asks (`request`
// is the parsed document; the console and own-password rules read it).
// Otherwise writes a trace record and throws CMyErr(err, kPermissionDenied).
// Reads the database, never writes it.
void checkPermission(const std::string& type, const Caller& caller, const Json::Value& request);
