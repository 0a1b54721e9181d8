// File transfers: firmware upload, database upload, database download, log
// export.
//
// They are recognised by their form fields and tested by the request entry
// before anything else. Serving one needs the admission of an AJAX call (form
// fields userID and token must name an open session, which is extended) and
// a super administrator's session. A refused transfer replies
// with the refusal text (the CMyErr message, "permission denied" for a user
// below level 3, followed by " \n"); nothing is stored and nothing is sent.
#pragma once

#include <string>

#include "store/audit.h"
#include "util/request_context.h"

// True when the request is a file transfer: a transfer route's test holds
// for its field (cgi/routes.h).
bool isOperaFile();
// Serves the first transfer whose test holds, after the admission that AJAX
// calls pass as well (cgi/admission.h); returns the exit status, always 0.
int operaFile();

// The transfer tests. hasUpload: field `field` holds an uploaded file with a
// file name of 1 to 1,023 bytes. hasField: a field `field` exists, whatever
// its value.
bool hasUpload(const char* field);
bool hasField(const char* field);

// Copies the upload of field `fileKey` to /usr/app/firmupdate and replies
// `returnMsg`. The file is replaced only once the whole upload is written
// (and, with a `notDatabaseMsg`, the upload is a database that is imported,
// and its imported copy is what is stored, store/db_import.h); otherwise the
// previous file stays and the reply is `failureMsg`, or `notDatabaseMsg`,
// ": " and the reason when the upload is no configuration database. The
// upload is recorded as system `event` of the caller with the stored size,
// committed before the file is replaced: an upload whose record cannot be
// written is not stored. True when the file was stored.
bool uploadFile(const RequestContext& context, std::string fileKey, std::string returnMsg,
                std::string failureMsg, const char* notDatabaseMsg, const audit::Event& event);
// Sends the configuration database as an attachment named korvan.db, read
// under a read transaction so that no writer commits during the copy. The
// download is recorded as system "dbDownload" of the caller first, so the
// copy carries its record; without the record nothing is sent. True when the
// file was sent.
bool downloadDBFile(const RequestContext& context);
// Sends the operation-log records of form field `logCondition` that the
// caller may see as CSV (ops/log_export.h); a malformed condition is refused
// as text.
void exportLog(const RequestContext& context);
