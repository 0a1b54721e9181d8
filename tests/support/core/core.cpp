#include "core.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace korvantest {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

std::string urlEncode(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    char escaped[4];
    snprintf(escaped, sizeof escaped, "%%%02X", c);
    out += isalnum(c) || (c != 0 && strchr("-_.~", c)) ? std::string(1, c) : escaped;
  }
  return out;
}

std::string formPart(const std::string& boundary, const std::string& name,
                     const std::string& content, const std::optional<std::string>& fileName) {
  std::string text = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"";
  if (fileName) {
    text += "; filename=\"" + *fileName + "\"\r\nContent-Type: application/octet-stream";
  }
  return text + "\r\n\r\n" + content + "\r\n";
}

Json::Value parseObject(const std::string& text) {
  Json::CharReaderBuilder builder;
  builder["failIfExtra"] = true;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors) ||
      !value.isObject()) {
    throw std::runtime_error("not one JSON object: " + errors);
  }
  return value;
}

namespace {

struct Collect {
  SqlRows* rows;
  const char* null;
};

void run(sqlite3* db, const std::string& sql, Collect* collect) {
  char* error = nullptr;
  auto onRow = [](void* target, int columns, char** cells, char**) {
    auto* c = static_cast<Collect*>(target);
    auto& row = c->rows->emplace_back();
    for (int i = 0; i < columns; ++i) row.emplace_back(cells[i] ? cells[i] : c->null);
    return 0;
  };
  const int rc = sqlite3_exec(db, sql.c_str(), collect ? +onRow : nullptr, collect, &error);
  const std::string text = error ? error : sqlite3_errmsg(db);
  sqlite3_free(error);
  if (rc != SQLITE_OK) throw std::runtime_error(text + " in: " + sql);
}

}  // namespace

void execSql(sqlite3* db, const std::string& sql) { run(db, sql, nullptr); }

SqlRows querySql(sqlite3* db, const std::string& sql, const char* null) {
  SqlRows rows;
  Collect collect{&rows, null};
  run(db, sql, &collect);
  return rows;
}

}  // namespace korvantest
