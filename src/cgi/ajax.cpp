#include "cgi/ajax.h"

// AJAX calls are not served yet: no request takes this route.
bool CAjax::isAjax() { return false; }

int CAjax::main2(std::string) { return 0; }
