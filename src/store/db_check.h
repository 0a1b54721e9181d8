// The check of an uploaded configuration database, made on the uploaded copy
// before it is stored: it must open as an SQLite 3 database, pass the engine's
// quick integrity check and hold every table the program uses. The copy is
// opened read-only and as immutable, so the check neither writes it nor
// looks for journal files beside it; the live database is never touched.
#pragma once

#include <string>

namespace korvan {

// True when the file at `path` passes the check.
bool isConfigurationDatabase(const std::string& path);

}  // namespace korvan
