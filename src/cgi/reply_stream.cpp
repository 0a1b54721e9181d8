#include "cgi/reply_stream.h"

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

void writeCompactStreamed(const Json::Value& reply, const std::string& streamed,
                          const std::function<void(const TextSink&)>& writeStreamed,
                          const TextSink& sink) {
  Json::FastWriter writer;
  std::string piece = "{";
  bool first = true;
  // getMemberNames() gives the order in which the writer walks an object.
  for (const std::string& name : reply.getMemberNames()) {
    if (!first) piece += ",";
    first = false;
    piece += compact(writer, Json::Value(name)) + ":";
    if (name == streamed) {
      sink(piece);
      piece.clear();
      writeStreamed(sink);
    } else {
      piece += compact(writer, reply[name]);
    }
  }
  piece += "}\n";
  sink(piece);
}
