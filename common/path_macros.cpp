#include "common/path_macros.h"

#include <cstdio>
#include <initializer_list>

#include "common/settings_file.h"
#include "common/text_helpers.h"
#include "platform/known_folders.h"

namespace tessa {

namespace {

struct MacroRow {
  std::initializer_list<const char*> macros;
  long csidl;
};

const MacroRow kMacroRows[] = {
    {{"%USERPROFILE%", "%HOMEPATH%"}, CSIDL_PROFILE},
    {{"%APPDATA%"}, CSIDL_APPDATA},
    {{"%LOCALAPPDATA%"}, CSIDL_LOCAL_APPDATA},
    {{"%WINDIR%"}, CSIDL_WINDOWS},
    {{"%PROGRAMFILES(X86)%"}, CSIDL_PROGRAM_FILESX86},
    {{"%PROGRAMFILES%"}, CSIDL_PROGRAM_FILES},
    {{"%MYDOCUMENTS%"}, CSIDL_PERSONAL},
};

size_t FindNoCase(const std::string& s, const std::string& what, size_t from = 0) {
  return ToLowerAscii(s).find(ToLowerAscii(what), from);
}

std::string ReplaceAllNoCase(const std::string& s, const std::string& what, const std::string& with) {
  std::string out;
  size_t start = 0;
  for (size_t at; (at = FindNoCase(s, what, start)) != std::string::npos; start = at + what.size())
    out += s.substr(start, at - start) + with;
  return out + s.substr(start);
}

std::string ReplaceAll(const std::string& s, const std::string& what, const std::string& with) {
  std::string out;
  size_t start = 0;
  for (size_t at; (at = s.find(what, start)) != std::string::npos; start = at + what.size())
    out += s.substr(start, at - start) + with;
  return out + s.substr(start);
}

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

std::string FourDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d", n);
  return buf;
}

}  // namespace

std::string ExpandPathMacros(std::string& sPath) {
  sPath = TrimBlanks(sPath);
  for (const MacroRow& row : kMacroRows) {
    bool found = false;
    for (const char* m : row.macros) found = found || FindNoCase(sPath, m) != std::string::npos;
    if (!found) continue;
    const std::string folder = GetSpecialFolderPath(row.csidl);
    if (folder == "(error)") return sPath;
    std::string result = sPath;
    for (const char* m : row.macros) result = ReplaceAllNoCase(result, m, folder);
    return result;
  }
  return sPath;
}

std::string ExpandDateTimeTokensAt(std::string& sPath, const LocalDateTime& t) {
  if (sPath.empty()) return "";
  const std::string y = FourDigits(t.year), m = TwoDigits(t.month), d = TwoDigits(t.day);
  const std::string h = TwoDigits(t.hour), i = TwoDigits(t.minute), s = TwoDigits(t.second);
  const std::pair<const char*, std::string> tokens[] = {
      {"[Y]", y},         {"[M]", m},         {"[D]", d},
      {"[YMD]", y + m + d}, {"[MDY]", m + d + y}, {"[H]", h},
      {"[I]", i},         {"[S]", s},         {"[HIS]", h + i + s},
  };
  for (const auto& [token, text] : tokens)
    if (FindNoCase(sPath, token) != std::string::npos) sPath = ReplaceAll(sPath, token, text);
  return sPath;
}

std::string ExpandDateTimeTokens(std::string& sPath) {
  if (sPath.empty()) return "";
  if (sPath.find('[') == std::string::npos) return sPath;
  return ExpandDateTimeTokensAt(sPath, ReadLocalClock());
}

}  // namespace tessa
