// Temporary stand-ins for shared helpers that are still being built (text
// files, file helpers, translation, type extensions); removed when they land.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "common/text_helpers.h"

namespace tessa::pending {

inline std::string Translate(const std::string& s) { return s; }
inline std::string ExpandPathMacros(const std::string& s) { return TrimBlanks(s); }
inline bool bFileExists(const std::string& s) {
  std::error_code ec;
  return !s.empty() && !bHasWildcards(s) && std::filesystem::is_regular_file(TrimBlanks(s), ec);
}
inline bool bFolderIsWriteable(const std::string& s) {
  std::error_code ec;
  return std::filesystem::is_directory(s.empty() ? "." : s, ec);
}
inline std::string GetFileNameFromPath(const std::string& s) {
  return std::filesystem::path(s).filename().string();
}
inline std::string GetFileTypeExtension(int32_t code, bool, int32_t method) {
  if (method != 1) return "";
  if (code == 100) return "PDF";
  if (code == 18) return "tif";
  if (code == 2) return "jpg";
  if (code == 0) return "bmp";
  return "";
}
struct DecodedText {
  std::string text;
};
inline std::optional<DecodedText> ReadTextFile(const std::string& path, std::string* error = nullptr) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    if (error) *error = path + ": cannot be read";
    return std::nullopt;
  }
  std::stringstream ss;
  ss << f.rdbuf();
  return DecodedText{ss.str()};
}
inline bool WriteTextFileAtomic(const std::string& path, std::string_view utf8, std::string* error = nullptr) {
  const std::string tmp = path + ".tmp-save";
  {
    std::ofstream f(tmp, std::ios::binary);
    f << utf8;
    f.flush();
    if (!f) {
      if (error) *error = path + ": cannot be written";
      std::remove(tmp.c_str());
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    if (error) *error = path + ": " + ec.message();
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace tessa::pending
