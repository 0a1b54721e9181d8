// File transfers: firmware upload, database upload, database download.
//
// They are recognised by their form fields and tested by the request entry
// before anything else. Serving one needs the session and IP checks of an AJAX
// call (form fields userID and token must name an open session, which is
// extended) and a super administrator's session. A refused transfer replies
// with the refusal text (the CMyErr message, "permission denied" for a user
// below level 3, followed by " \n"); nothing is stored and nothing is sent.
#pragma once

#include <string>

// True when the request is a file transfer: a file part "systemFile" or
// "dbFile" with a file name of 1 to 1,023 bytes, or any field
// "submitDownloadDB".
bool isOperaFile();
// Serves the file transfer (first match: firmware upload, database upload,
// download) after the access checks; returns the exit status, always 0.
int operaFile();
// Copies the upload of field `fileKey` to /usr/app/firmupdate and replies
// `returnMsg`. The file is replaced only once the whole upload is written;
// otherwise the previous file stays and the reply is "update firmware failed"
// (systemFile) or "update database failed". True when the file was stored.
bool uploadFile(std::string fileKey, std::string returnMsg);
// Sends the configuration database as an attachment named korvan.db, read
// under a read transaction so that no writer commits during the copy. True
// when the file was sent.
bool downloadDBFile();
