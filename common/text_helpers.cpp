#include "common/text_helpers.h"

#include <algorithm>

namespace tessa {

namespace {
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && EqualsNoCase(s.substr(s.size() - tail.size()), tail);
}
}  // namespace

std::string TrimAtNull(std::string_view s) {
  const auto nul = s.find('\0');
  return std::string(nul == std::string_view::npos ? s : s.substr(0, nul));
}

std::string StripQuotes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s)
    if (c != '"') out += c;
  return out;
}

bool bHasWildcards(std::string_view s) { return s.find_first_of("?*") != std::string_view::npos; }

bool bStartsWith(std::string_view s, std::string_view sPrefix) {
  return s.size() >= sPrefix.size() && EqualsNoCase(s.substr(0, sPrefix.size()), sPrefix);
}

std::string TrimCharsFromEnds(std::string_view s, std::string_view sCut) {
  if (s.empty() || sCut.empty()) return std::string(s);
  while (EndsWithNoCase(s, sCut)) s.remove_suffix(sCut.size());
  while (bStartsWith(s, sCut)) s.remove_prefix(sCut.size());
  return std::string(s);
}

std::string GetFolderFromPath(std::string_view sPath) {
  const auto last = sPath.find_last_of("/\\");
  if (last == std::string_view::npos) return "";
  return ToForwardSlashes(sPath.substr(0, last + 1));
}

std::string GetFileExtension(std::string_view sPath) {
  const auto sep = sPath.find_last_of("/\\");
  const std::string_view name = sep == std::string_view::npos ? sPath : sPath.substr(sep + 1);
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos) return "";
  return TrimBlanks(name.substr(dot + 1));
}

std::string RemoveTrailingBackslash(std::string_view s) {
  if (!s.empty() && IsPathSeparator(s.back())) s.remove_suffix(1);
  return std::string(s);
}

std::string ToForwardSlashes(std::string_view s) {
  std::string out(s);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string TypedPath(std::string_view s) { return ToForwardSlashes(TrimBlanks(s)); }

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string ToUpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string TrimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

std::vector<std::string> SplitText(std::string_view text, char sep) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(sep, start);
    if (at == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
}

}  // namespace tessa
