// The response stream of the process, on its own so that the reply writers
// need not include the CGI start-up that uses them (cgi/cgic.h).
#pragma once

#include <cstdio>

// Where every byte of the response goes (standard output); set by the
// start-up.
extern FILE* cgiOut;
