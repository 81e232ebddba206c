// Whole numbers read from a file's bytes, most or least significant byte
// first. The caller makes sure the bytes are there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quirepane {

inline uint32_t ByteAt(std::string_view b, size_t at) { return static_cast<uint8_t>(b[at]); }
inline uint32_t Be16(std::string_view b, size_t at) { return ByteAt(b, at) << 8 | ByteAt(b, at + 1); }
inline uint32_t Be32(std::string_view b, size_t at) { return Be16(b, at) << 16 | Be16(b, at + 2); }
inline uint32_t Le16(std::string_view b, size_t at) { return ByteAt(b, at) | ByteAt(b, at + 1) << 8; }
inline uint32_t Le32(std::string_view b, size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }

}  // namespace quirepane
