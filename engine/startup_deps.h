// TEMPORARY: stand-ins for the shared services, parser, job commands and
// block dispatch that are being built alongside; each is replaced by the
// real call as it lands, and this file goes.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/conversion_options.h"
#include "engine/main_form.h"

namespace tessa::deps {

inline int64_t TickCount() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
inline std::string Translate(const std::string& s) { return s; }
inline void WriteToLogFile(const std::string& line, const std::string& file, bool) {
  if (file.empty()) return;
  std::ofstream out(file, std::ios::app | std::ios::binary);
  out << line << "\r\n";
}
inline bool bFileExists(const std::string& s) {
  std::error_code ec;
  return std::filesystem::is_regular_file(s, ec);
}
inline void ConversionJobOpen(MainForm&, const std::string&) {}
inline void ConversionJobBegin(MainForm&) {}
inline void PerformBlock(MainForm&, int32_t, clsConversionOptions&, int32_t& ret) { ret = -1; }
inline void SaveLogGridAsJobFile(const std::string&, const FlexGrid&) {}
inline bool ParseCommandLine(const std::string&, clsConversionOptions&, MainForm&) { return false; }
inline std::string CommandLineFromArguments(const std::vector<std::string>& args) {
  std::string s;
  for (const auto& a : args) s += (s.empty() ? "" : " ") + a;
  return s;
}

}  // namespace tessa::deps

namespace tessa::deps {
inline std::string sIniFile;
inline std::string GetIniFilePath(int32_t) { return ""; }
inline std::string ExpandPathMacros(const std::string& s) { return s; }
inline void InitializeTranslator() {}
inline bool bFolderExists(const std::string& s) {
  std::error_code ec;
  return std::filesystem::is_directory(s, ec);
}
inline void CopyFolderFSO(const std::string& from, const std::string& to) {
  std::error_code ec;
  std::filesystem::create_directories(to, ec);
  std::filesystem::copy(from, to, std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing, ec);
}
inline std::string GetSetting(const std::string&, const std::string&, const std::string&, const std::string& def) { return def; }
inline void SaveSetting(const std::string&, const std::string&, const std::string&, const std::string&) {}
}  // namespace tessa::deps
