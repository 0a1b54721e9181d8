#include "requests.h"

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace korvantest {
namespace {

[[noreturn]] void malformed(const std::string& type, const std::string& what) {
  throw std::runtime_error("request table: " + type + ": " + what);
}

std::map<std::string, std::string> textMembers(const std::string& type, const Json::Value& object,
                                               const char* key) {
  if (!object.isObject()) malformed(type, std::string(key) + " is not an object");
  std::map<std::string, std::string> texts;
  for (const std::string& name : object.getMemberNames()) {
    if (!object[name].isString()) malformed(type, std::string(key) + "." + name + " is not text");
    texts[name] = object[name].asString();
  }
  return texts;
}

RequestEntry entryOf(const std::string& type, const Json::Value& value) {
  static const std::set<std::string> kKeys = {"members",  "form",    "files",
                                              "database", "session", "setup"};
  if (!value.isObject()) malformed(type, "not an object");
  for (const std::string& key : value.getMemberNames()) {
    if (kKeys.count(key) == 0) malformed(type, "unknown key " + key);
  }
  RequestEntry entry;
  entry.type = type;
  entry.transfer = value.isMember("form");
  if (entry.transfer == value.isMember("members")) {
    malformed(type, "needs exactly one of members and form");
  }
  if (entry.transfer) {
    entry.form = textMembers(type, value["form"], "form");
    if (value.isMember("files")) entry.files = textMembers(type, value["files"], "files");
    entry.database = value.get("database", "").asString();
    for (const auto& [field, name] : entry.files) {
      if (entry.form.count(field) == 0) malformed(type, "file " + field + " is no form field");
    }
    if (!entry.database.empty() && entry.files.count(entry.database) == 0) {
      malformed(type, "database " + entry.database + " is no file field");
    }
  } else {
    if (!value["members"].isObject()) malformed(type, "members is not an object");
    entry.members = value["members"];
    if (value.isMember("files") || value.isMember("database")) {
      malformed(type, "files and database belong to transfers");
    }
  }
  if (value.isMember("session") && !value["session"].isBool()) malformed(type, "session");
  entry.session = value.get("session", true).asBool();
  if (value.isMember("setup") && !value["setup"].isString()) malformed(type, "setup");
  entry.setup = value.get("setup", "").asString();
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
  if (!Json::parseFromStream(builder, in, &root, &errors)) {
    throw std::runtime_error("request table: " + errors);
  }
  if (!root.isObject()) throw std::runtime_error("request table: not an object");
  std::vector<RequestEntry> table;
  for (const std::string& type : root.getMemberNames()) table.push_back(entryOf(type, root[type]));
  return table;
}

const std::vector<RequestEntry>& requestTable() {
  static const std::vector<RequestEntry> table = [] {
    std::ifstream in(requestTablePath());
    if (!in) throw std::runtime_error("request table: cannot read " + requestTablePath());
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
