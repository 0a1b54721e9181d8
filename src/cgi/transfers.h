// The file transfers a route serves once the request is admitted
// (cgi/filetransfer.h), and the form helpers they share with the admission of
// transfers. Each replies on its own: a one-line text or the file.
#pragma once

#include <string>

#include "store/audit.h"
#include "util/request_context.h"

// The text of form field `name`; empty when it is missing, empty or longer
// than 1,023 bytes.
std::string formField(const char* name);
// Writes the header and the one-line text reply `text` of a transfer.
void transferReply(const std::string& text);

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
