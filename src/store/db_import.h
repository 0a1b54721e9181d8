// The import of an uploaded configuration database.
//
// An upload is data, never code. Its triggers would run on the device's
// requests once it is the live database, its views and virtual tables would
// answer in place of tables, and its constraints, collations, indexes and
// column types could make every request fail. So nothing of its schema is
// kept: a fresh database is built from the program's own schema
// (store/schema.h) and the rows of the known tables are copied into it, column
// by column. A column the upload lacks takes the schema's default, so that an
// older configuration still loads; tables and columns the program does not
// know are left behind.
//
// The upload is only read: opened read-only and immutable (no journal files
// beside it are looked for), with the guarded settings (store/
// connection_guard.h), triggers and views switched off and no virtual-table
// module, and read only by plain selects of named columns of named tables.
// A "table" that is a view or a virtual table counts as missing; a generated
// column counts as missing, as reading it would compute it.
#pragma once

#include <optional>
#include <string>

namespace korvan {

// Replaces the upload at `path` with its imported copy (the same file, so
// that whoever holds it keeps holding it). Returns nothing when `path` now
// holds the copy, synced to disk; otherwise the reason the upload is no
// configuration database, leaving the file as it was: "not an SQLite
// database", "damaged" (it fails the engine's quick check), "table T
// missing", "table T has no known column", "table T unreadable: ..." (its
// rows cannot be read), "table T: ..." (a row does not fit the schema, such
// as a duplicate name). Throws CMyErr(err) when the
// copy cannot be made for a reason of this device (memory, disk); the file
// then holds no usable database.
std::optional<std::string> importConfigurationDatabase(const std::string& path);

}  // namespace korvan
