// Test support core: the helpers that both the gtest suite and the fuzz
// targets use, with no test framework behind them. Failures throw
// std::runtime_error; the caller decides whether that is a test failure or an
// abort.
#pragma once

#include <json/json.h>
#include <sqlite3.h>

#include <optional>
#include <string>
#include <vector>

namespace korvantest {

// A whole file ("" when unreadable); writeFile creates the folders.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);

// A form value, every byte but [A-Za-z0-9-_.~] as %XX.
std::string urlEncode(const std::string& text);

// One part of a multipart/form-data body with the delimiter `boundary`; a
// part with a file name is a file part.
std::string formPart(const std::string& boundary, const std::string& name,
                     const std::string& content,
                     const std::optional<std::string>& fileName = std::nullopt);

// `text` as one JSON object and nothing after it; throws otherwise.
Json::Value parseObject(const std::string& text);

// Runs `sql` on `db`, throwing with the engine's message on failure.
void execSql(sqlite3* db, const std::string& sql);
// Every row of `sql`, cells as text, NULL as `null`.
using SqlRows = std::vector<std::vector<std::string>>;
SqlRows querySql(sqlite3* db, const std::string& sql, const char* null = "");

}  // namespace korvantest
