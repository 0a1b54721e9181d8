// File transfers: firmware upload, database upload, database download.
//
// They are recognised by their form fields and tested by the request entry
// before anything else. Serving one needs the admission of an AJAX call (form
// fields userID and token must name an open session, which is extended) and
// a super administrator's session. A refused transfer replies
// with the refusal text (the CMyErr message, "permission denied" for a user
// below level 3, followed by " \n"); nothing is stored and nothing is sent.
#pragma once

#include <string>

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

// What an upload must be before it is stored: anything (firmware), or a
// configuration database (store/db_check.h).
enum class CheckUpload { none, configurationDatabase };

// Copies the upload of field `fileKey` to /usr/app/firmupdate and replies
// `returnMsg`. The file is replaced only once the whole upload is written and
// passed `check`; otherwise the previous file stays and the reply is
// `failureMsg`, followed by ": not a configuration database" when that check
// failed.
void uploadFile(std::string fileKey, std::string returnMsg, std::string failureMsg,
                CheckUpload check);
// Sends the configuration database as an attachment named korvan.db, read
// under a read transaction so that no writer commits during the copy.
void downloadDBFile();
