#include "common/vb_conversions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/text_helpers.h"

namespace tessa {

namespace {

std::string_view TrimSpaceView(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the decimal number at the start of s (sign, digits, fraction,
// exponent); 0 when there is none.
size_t DecimalPrefix(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t expDigits = 0;
    while (j < s.size() && IsDigit(s[j])) ++j, ++expDigits;
    if (expDigits > 0) i = j;
  }
  return i;
}

std::optional<double> ParseRadix(std::string_view digits, int radix) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    int d;
    if (IsDigit(c)) d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    if (d >= radix) return std::nullopt;
    value = value * radix + d;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  // &H and &O literals up to 16 bits are Integers, wider ones Longs: both
  // are signed, so the top bit set reads as negative.
  if (value <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
  return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

}  // namespace

std::optional<double> ParseVbNumber(std::string_view s) {
  s = TrimSpaceView(s);
  if (s.empty()) return std::nullopt;
  if (s.size() > 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return ParseRadix(s.substr(2), 16);
    if (s[1] == 'O' || s[1] == 'o') return ParseRadix(s.substr(2), 8);
    return std::nullopt;
  }
  const size_t n = DecimalPrefix(s);
  if (n == 0 || n != s.size()) return std::nullopt;
  const std::string text(s);
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (errno == ERANGE || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<int32_t> CLngText(std::string_view s) {
  const auto v = ParseVbNumber(s);
  if (!v) return std::nullopt;
  const double r = std::nearbyint(*v);  // default rounding mode: half to even
  if (r < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
      r > static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::nullopt;
  return static_cast<int32_t>(r);
}

std::optional<bool> CBoolText(std::string_view s) {
  const std::string_view t = TrimSpaceView(s);
  if (EqualsNoCase(t, "true")) return true;
  if (EqualsNoCase(t, "false")) return false;
  const auto v = ParseVbNumber(t);
  if (!v) return std::nullopt;
  return *v != 0.0;
}

double ValText(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  if (s.size() > 2 && s[0] == '&') {
    size_t end = 2;
    while (end < s.size() && std::isxdigit(static_cast<unsigned char>(s[end]))) ++end;
    const auto v = ParseVbNumber(s.substr(0, end));
    return v ? *v : 0.0;
  }
  const size_t n = DecimalPrefix(s);
  if (n == 0) return 0.0;
  return std::strtod(std::string(s.substr(0, n)).c_str(), nullptr);
}

}  // namespace tessa
