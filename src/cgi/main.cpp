// Process entry: one HTTP request, decoded by the CGI layer and served by
// cgiMain. The exit status is cgiMain's result, or 255 when decoding failed.
#include "cgi/cgic.h"

int main() { return cgicRun(); }
