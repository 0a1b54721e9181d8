#include "cgi/request_shape.h"

#include <algorithm>
#include <vector>

#include "util/myerr.h"

namespace {

// Top-level members read as text by the dispatcher, the session, login, the
// snapshot or a handler.
const char* const kTopLevelTexts[] = {"type",     "userID",   "token", "userNM",  "pw",
                                      "timezone", "serverIP", "time2", "language"};

[[noreturn]] void refuse(const std::string& path, const char* what) {
  throw CMyErr(CMyErr::err, "invalid request: " + path + what);
}

bool isText(const Json::Value& value) { return !value.isArray() && !value.isObject(); }

bool contains(const std::vector<std::string>& objects, const std::string& path) {
  return std::find(objects.begin(), objects.end(), path) != objects.end();
}

// Every member of the object at `path` is text, or an object named in `objects`.
void checkObject(const Json::Value& object, const std::string& path,
                 const std::vector<std::string>& objects) {
  for (const std::string& name : object.getMemberNames()) {
    const std::string inner = path + "." + name;
    const Json::Value& value = object[name];
    if (contains(objects, inner)) {
      if (!value.isObject()) refuse(inner, " is not an object");
      checkObject(value, inner, objects);
    } else if (!isText(value)) {
      refuse(inner, " is not text");
    }
  }
}

}  // namespace

void checkMemberTypes(const std::vector<std::string>& typeObjects, const Json::Value& request) {
  // A document the reader built nothing from has no members: the session
  // check refuses it.
  if (request.isNull()) return;
  if (!request.isObject()) refuse("the document", " is not an object");
  std::vector<std::string> objects{"user"};
  objects.insert(objects.end(), typeObjects.begin(), typeObjects.end());
  for (const char* name : kTopLevelTexts) {
    if (request.isMember(name) && !isText(request[name])) refuse(name, " is not text");
  }
  for (const std::string& name : objects) {
    if (name.find('.') != std::string::npos || !request.isMember(name)) continue;
    const Json::Value& value = request[name];
    if (!value.isObject()) refuse(name, " is not an object");
    checkObject(value, name, objects);
  }
}
