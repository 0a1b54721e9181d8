// The upgrade of an existing configuration database to the program's schema.
//
// The device keeps its database across firmware updates, and an uploaded
// configuration is rebuilt from the program's schema (store/db_import.h), so
// only a database that was already on the device can lack what a newer
// program adds. Each addition is one step of an ordered list that only ever
// grows: a column to add to a table, or a statement that creates a table or
// an index "if not exists". db/schema.sql holds the same additions, so a new
// database has them from the start.
//
// The database's user_version counts the steps it has been through. A
// database at the count pays one pragma per request; one below it is
// upgraded in one write transaction, every step checked against the actual
// tables (a database built from the newer schema has the columns already, at
// version 0). A database from a newer program (a higher version) is left as
// it is. A failed upgrade is rolled back whole and thrown: a half-upgraded
// database is never used.
#pragma once

#include <sqlite3.h>

#include <vector>

namespace korvan {

struct SchemaStep {
  const char* table;       // the table the step changes
  const char* column;      // the column it adds; nullptr: `definition` is a whole statement
  const char* definition;  // the column's type and default, or an idempotent statement
};

// The program's steps, oldest first.
const std::vector<SchemaStep>& schemaSteps();

// Brings `db` up to `steps`. Throws CMyErr (lockErr when the database stays
// busy, err otherwise) and leaves the database as it was on failure.
void upgradeSchema(sqlite3* db, const std::vector<SchemaStep>& steps = schemaSteps());

}  // namespace korvan
