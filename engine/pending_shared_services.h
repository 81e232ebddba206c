// Temporary stand-ins for the shared file, path, log and translation helpers
// until they land; removed then.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/text_helpers.h"
#include "platform/user_interface.h"

namespace tessa::pending {

inline std::string ExpandPathMacros(const std::string& s) { return TrimBlanks(s); }
inline std::string ExpandDateTimeTokens(const std::string& s) { return s; }
inline bool bFileExists(const std::string& s) {
  std::error_code ec;
  return !s.empty() && !bHasWildcards(s) && std::filesystem::is_regular_file(TrimBlanks(s), ec);
}
inline bool bFolderExists(const std::string& s) {
  std::error_code ec;
  return !s.empty() && std::filesystem::is_directory(s, ec);
}
inline void MakeFolderPath(const std::string& s) {
  std::error_code ec;
  if (!s.empty()) std::filesystem::create_directories(s, ec);
}
inline std::string GetAbsolutePath(const std::string& s) {
  std::error_code ec;
  return std::filesystem::absolute(s, ec).lexically_normal().string();
}
inline std::string GetParentFolder(const std::string& s) {
  const std::string p = ToForwardSlashes(s);
  const auto pos = p.find_last_of('/');
  if (pos == std::string::npos) return "";
  return pos == 0 ? "/" : p.substr(0, pos);
}
inline std::string GetParentFolderUNC(const std::string& s) { return GetParentFolder(s); }
inline bool bFolderIsWriteable(const std::string& s) {
  if (TrimBlanks(s).empty()) return false;
  std::filesystem::path p(s);
  std::error_code ec;
  while (!p.empty() && !std::filesystem::is_directory(p, ec)) {
    if (p == p.parent_path()) return false;
    p = p.parent_path();
  }
  if (p.empty()) p = ".";
  const auto probe = p / "tessa-probe.tmp";
  bool ok = false;
  {
    std::ofstream f(probe);
    ok = static_cast<bool>(f << "Hello World\n");
  }
  std::filesystem::remove(probe, ec);
  return ok;
}
inline int32_t CheckOutputFolder(const std::string& s, std::string& sRecommended, std::string& sMessage) {
  sRecommended = s;
  if (!bFolderIsWriteable(s)) {
    sMessage = "Output folder is not writeable.";
    return 5;
  }
  return 0;
}
inline void WriteToLogFile(const std::string& line, const std::string& file, bool bShowMsg) {
  if (!file.empty()) {
    std::ofstream f(file, std::ios::app | std::ios::binary);
    f << line << "\r\n";
  }
  if (bShowMsg) CurrentUserInterface().MsgBox(line, vbInformation, "");
}
inline std::string Translate(const std::string& s) { return s; }

}  // namespace tessa::pending
