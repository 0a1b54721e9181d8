#include "cgi/filetransfer.h"

// File transfers are not served yet: no request takes this route.
bool isOperaFile() { return false; }

int operaFile() { return 0; }
