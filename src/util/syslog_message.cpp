#include "util/syslog_message.h"

#include <json/json.h>

#include <cctype>
#include <ctime>
#include <memory>

namespace logfwd {

namespace {

constexpr const char* kElement = "korvan@32473";
constexpr const char* kChangeElement = "korvanChange@32473";
constexpr int kSeverityWarning = 4;
constexpr int kSeverityNotice = 5;

struct NamedFacility {
  const char* name;
  int number;
};
constexpr NamedFacility kFacilities[] = {
    {"user", 1},    {"daemon", 3},  {"auth", 4},    {"authpriv", 10}, {"syslog", 5},
    {"local0", 16}, {"local1", 17}, {"local2", 18}, {"local3", 19},   {"local4", 20},
    {"local5", 21}, {"local6", 22}, {"local7", 23},
};

// Whether a detail label names a credential, whose value must stay on the
// device whatever a record builder put there.
bool namesSecret(const std::string& label) {
  std::string lower;
  for (char c : label) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* word : {"password", "passwd", "pwd", "token", "secret", "seed", "private key"}) {
    if (lower.find(word) != std::string::npos) return true;
  }
  return lower == "pw";
}

// The entries of a detail text; an empty list when it is no JSON list.
Json::Value entriesOf(const std::string& detail) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value entries;
  std::string errors;
  if (!reader->parse(detail.data(), detail.data() + detail.size(), &entries, &errors) ||
      !entries.isArray()) {
    return Json::Value(Json::arrayValue);
  }
  return entries;
}

std::string text(const Json::Value& value) { return value.isString() ? value.asString() : ""; }

bool isRefusal(const std::string& typeSub) {
  return typeSub == "loginFailed" || typeSub == "denied" || typeSub == "lockout";
}

std::string header(int pri, const std::string& time, const std::string& host,
                   const std::string& msgId) {
  return "<" + std::to_string(pri) + ">1 " + (time.empty() ? "-" : time) + " " +
         (host.empty() ? "-" : host) + " korvan - " + (msgId.empty() ? "-" : msgId) + " ";
}

// MSGID is at most 32 printable ASCII characters without spaces.
std::string msgIdOf(const std::string& typeSub) {
  std::string id;
  for (char c : typeSub) {
    if (c > 32 && c < 127 && id.size() < 32) id += c;
  }
  return id;
}

}  // namespace

int facilityNumber(const std::string& name) {
  for (const NamedFacility& f : kFacilities) {
    if (name == f.name) return f.number;
  }
  return -1;
}

std::string facilityName(int number) {
  for (const NamedFacility& f : kFacilities) {
    if (number == f.number) return f.name;
  }
  return "";
}

std::string sdParam(const std::string& name, const std::string& value) {
  std::string out = " " + name + "=\"";
  for (char c : value) {
    if (c == '"' || c == '\\' || c == ']') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string timestamp(time_t seconds) {
  struct tm local {};
  localtime_r(&seconds, &local);
  char text[40];
  strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  const long offset = local.tm_gmtoff;
  const int minutes = static_cast<int>((offset < 0 ? -offset : offset) / 60 % (24 * 60));
  char zone[16];
  snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return std::string(text) + zone;
}

std::string recordMessage(const Record& record, int facility, const std::string& host, Send send) {
  const int usedFacility = record.type == "access" ? kFacilityAuthpriv : facility;
  const int severity = isRefusal(record.typeSub) ? kSeverityWarning : kSeverityNotice;
  struct tm parsed {};
  std::string time;
  if (strptime(record.time.c_str(), "%Y-%m-%d %H:%M:%S", &parsed) != nullptr) {
    parsed.tm_isdst = -1;
    time = timestamp(mktime(&parsed));
  }
  const Json::Value entries = entriesOf(record.detail);
  std::string sd = std::string("[") + kElement + sdParam("id", std::to_string(record.id)) +
                   sdParam("user", record.user) + sdParam("src", record.ip) +
                   sdParam("type", record.type);
  std::string change;
  int n = 0;
  for (const Json::Value& entry : entries) {
    if (!entry.isObject()) continue;
    const std::string label = text(entry["nm"]);
    if (label == "console ID") sd += sdParam("consoleId", text(entry["v1"]));
    if (label == "console") sd += sdParam("console", text(entry["v1"]));
    const std::string prefix = "e" + std::to_string(++n) + ".";
    const bool withheld = namesSecret(label);
    change += sdParam(prefix + "nm", label);
    for (const char* side : {"v1", "v2"}) {
      if (!entry.isMember(side)) continue;
      change += sdParam(prefix + side, withheld ? "(withheld)" : text(entry[side]));
    }
  }
  if (send == Send::completion) sd += sdParam("completion", "1");
  sd += "]";
  if (!change.empty()) sd += std::string("[") + kChangeElement + change + "]";
  return header(usedFacility * 8 + severity, time, host, msgIdOf(record.typeSub)) + sd + " " +
         record.typeSubCN;
}

std::string noticeMessage(const std::string& msgId, const std::string& params,
                          const std::string& text, int facility, const std::string& host,
                          time_t now, bool warning) {
  const int severity = warning ? kSeverityWarning : kSeverityNotice;
  return header(facility * 8 + severity, timestamp(now), host, msgId) + "[" + kElement + params +
         "] " + text;
}

}  // namespace logfwd
