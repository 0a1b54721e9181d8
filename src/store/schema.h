// The program's own schema: the text of db/schema.sql, built into the
// program when it is compiled, so that the program can make a configuration
// database of the shape it expects without any file beside it (an uploaded
// database is rebuilt from it, store/db_import.h).
#pragma once

#include <string_view>

namespace korvan {

// The statements of db/schema.sql, separated by ";".
std::string_view configurationSchema();

}  // namespace korvan
