#include "requests.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korvantest {
namespace {

[[noreturn]] void malformed(const std::string& type, const std::string& what) {
  throw std::runtime_error("request table: " + type + ": " + what);
}

// The members of object `key` of an entry, every one a text.
std::map<std::string, std::string> texts(const std::string& type, const Json::Value& entry,
                                         const char* key) {
  std::map<std::string, std::string> texts;
  const Json::Value& object = entry.get(key, Json::Value(Json::objectValue));
  if (!object.isObject()) malformed(type, std::string(key) + " is not an object");
  for (const std::string& name : object.getMemberNames()) {
    if (!object[name].isString()) malformed(type, std::string(key) + "." + name + " is not text");
    texts[name] = object[name].asString();
  }
  return texts;
}

RequestEntry entryOf(const std::string& type, const Json::Value& value) {
  if (!value.isObject()) malformed(type, "not an object");
  const std::string keys = " members form files database session setup ";
  for (const std::string& key : value.getMemberNames()) {
    if (keys.find(" " + key + " ") == std::string::npos) malformed(type, "unknown key " + key);
  }
  RequestEntry entry;
  entry.type = type;
  entry.transfer = value.isMember("form");
  if (entry.transfer == value.isMember("members") ||
      (!entry.transfer && !value["members"].isObject())) {
    malformed(type, "needs either an object of members or a form");
  }
  entry.members = value.get("members", Json::Value(Json::objectValue));
  entry.form = texts(type, value, "form");
  entry.files = texts(type, value, "files");
  entry.database = value.get("database", "").asString();
  entry.session = value.get("session", true).asBool();
  entry.setup = value.get("setup", "").asString();
  for (const auto& file : entry.files) {
    if (entry.form.count(file.first) == 0) malformed(type, "file " + file.first + " is no field");
  }
  if (!entry.database.empty() && entry.files.count(entry.database) == 0) {
    malformed(type, "database " + entry.database + " is no file field");
  }
  return entry;
}

}  // namespace

std::string requestTablePath() { return KORVAN_SOURCE_DIR "/tests/support/requests.json"; }

std::vector<RequestEntry> parseRequestTable(const std::string& text) {
  Json::Value root;
  Json::CharReaderBuilder builder;
  builder["rejectDupKeys"] = true;
  std::string errors;
  std::istringstream in(text);
  if (!Json::parseFromStream(builder, in, &root, &errors) || !root.isObject()) {
    throw std::runtime_error("request table: not a JSON object " + errors);
  }
  std::vector<RequestEntry> table;
  for (const std::string& type : root.getMemberNames()) table.push_back(entryOf(type, root[type]));
  return table;
}

const std::vector<RequestEntry>& requestTable() {
  static const std::vector<RequestEntry> table = [] {
    std::ifstream in(requestTablePath());
    std::ostringstream text;
    text << in.rdbuf();
    return parseRequestTable(text.str());
  }();
  return table;
}

const RequestEntry& requestEntry(const std::string& type) {
  for (const RequestEntry& entry : requestTable()) {
    if (entry.type == type) return entry;
  }
  throw std::out_of_range("request table: no entry for " + type);
}

}  // namespace korvantest
