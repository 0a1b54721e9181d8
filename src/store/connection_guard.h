// The settings every database connection of the program takes before its
// first statement. The schema of a database file is not trusted to call
// functions with side effects (trusted_schema off), ordinary SQL may not
// corrupt the file (defensive mode: no writable_schema, no journal_mode=off,
// no direct page writes), no extension can be loaded, and deleted content is
// zeroed in the file (secure_delete: no stale password text in a copy of it).
// This narrows what a hostile file could do; it does not make running its
// triggers safe, which is why an uploaded database is imported
// (store/db_import.h), never used.
#pragma once

#include <sqlite3.h>

namespace korvan {

// Applies the settings to the open connection `db`. Throws CMyErr(err) when
// the engine refuses one: a connection without them must not be used.
void guardConnection(sqlite3* db);

}  // namespace korvan
