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

// True when the request is a file transfer: a transfer route's test holds
// for its field (cgi/routes.h).
bool isOperaFile();
// Serves the first transfer whose test holds, after the admission that AJAX
// calls pass as well (cgi/admission.h); returns the exit status, always 0.
int operaFile();
