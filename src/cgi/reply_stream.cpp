#include "cgi/reply_stream.h"

void writeCompactStreamed(const Json::Value& reply, const korvan::JsonFragments& fragments,
                          const std::string& streamed,
                          const std::function<void(const TextSink&)>& writeStreamed,
                          const TextSink& sink) {
  korvan::writeJson(reply, fragments, sink, streamed, writeStreamed);
}
