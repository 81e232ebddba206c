// Windows bitmaps whose information header is one of the longer, newer
// forms (52 to 124 bytes) rewritten with the classic 40-byte header, which
// every bitmap reader understands.
#pragma once

#include <optional>
#include <string>

namespace quirepane {

// The same bitmap with a 40-byte information header (colour masks moved
// after it when the pixels use them), or nullopt when bytes is not a bitmap
// with a longer header or is cut short.
std::optional<std::string> WithClassicBmpHeader(const std::string& bytes);

}  // namespace quirepane
