#include "cgi/reply_stream.h"

#include "cgi/reply.h"

namespace {

// The compact text of `value` without the writer's closing line feed. Names
// go through here too, as strings: the writer quotes members and string
// values alike.
std::string compact(Json::FastWriter& writer, const Json::Value& value) {
  std::string text = writer.write(value);
  text.pop_back();
  return text;
}

}  // namespace

void writeCompactStreamed(const Json::Value& reply, const korvan::JsonFragments& fragments,
                          const std::string& streamed,
                          const std::function<void(const TextSink&)>& writeStreamed,
                          const TextSink& sink) {
  Json::FastWriter writer;
  std::string piece = "{";
  bool first = true;
  forEachMember(reply, fragments,
                [&](std::string_view name, const Json::Value* value, const std::string* fragment) {
                  if (!first) piece += ",";
                  first = false;
                  piece += compact(writer, Json::Value(name.data(), name.data() + name.size()));
                  piece += ":";
                  if (fragment != nullptr) {
                    // Escaped already; escaping it again changes nothing.
                    piece += *fragment;
                  } else if (name == streamed) {
                    sink(piece);
                    piece.clear();
                    writeStreamed(sink);
                  } else {
                    piece += compact(writer, *value);
                  }
                });
  piece += "}\n";
  sink(piece);
}
