// Reading texts as Booleans and 32-bit numbers the way the original runtime
// did (CBool, CLng), so stored records from it read the same. Every reader
// answers std::nullopt where the original raised a conversion error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessa {

// A number in text: blanks around it, an optional sign, digits with an
// optional fraction and exponent, or &H hex / &O octal. nullopt otherwise.
std::optional<double> ParseVbNumber(std::string_view s);

// CLng: the number rounded half to even; nullopt when it is not a number or
// lies outside the 32-bit range.
std::optional<int32_t> CLngText(std::string_view s);

// CBool: "True" or "False" in any case (blanks around allowed), or a number,
// non-zero being true; nullopt otherwise.
std::optional<bool> CBoolText(std::string_view s);

// Val: the leading number of s (blanks skipped), 0 when it has none. Never fails.
double ValText(std::string_view s);

// "TRUE" or "FALSE" as the original wrote Booleans into records.
inline std::string BoolToUpperText(bool b) { return b ? "TRUE" : "FALSE"; }

}  // namespace tessa
