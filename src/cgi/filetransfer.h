// File transfers: firmware upload, database upload, database download.
#pragma once

// True when the request is a file transfer (it carries one of the form fields
// systemFile, dbFile or submitDownloadDB).
bool isOperaFile();
// Serves the file transfer; returns the exit status (0).
int operaFile();
