// TextSink: where a writer hands its text piece by piece, so that a large
// document can go out while it is built instead of being held whole.
#pragma once

#include <functional>
#include <string_view>

using TextSink = std::function<void(std::string_view)>;
