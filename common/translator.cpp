// The translator keeps one table from English text to translation, filled
// from the language file and grown by every text met during the run.
#include "common/translator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unordered_map>

#include "common/file_helpers.h"
#include "common/program_modes.h"
#include "common/settings_file.h"
#include "common/text_helpers.h"
#include "platform/text_file.h"
#include "platform/user_interface.h"

namespace tessa {

std::string sLanguage;
std::string sLanguageFile;
int iLanguageFileFormat = 0;
std::string sLanguageFont;
int iUserLCID = 0;
bool bAsianLocale = false;
std::string sProductName = "Tessalumen";

namespace {

constexpr const char* kProgramTitle = "Tessaprint";
constexpr const char* kEnglish = "English";

std::unordered_map<std::string, std::string>& Table() {
  static std::unordered_map<std::string, std::string> table;
  return table;
}

// The encoding new lines are appended in (the file's own).
TextEncoding g_appendEncoding = TextEncoding::Utf8;
LanguageChooser* g_chooser = nullptr;

// A failure of the start-up steps, with the text of its warning.
struct TranslatorError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

// Whether text holds a letter (any byte beyond ASCII may belong to one).
bool HasLetter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
  });
}

// Splits text at CR LF, LF or a lone CR.
std::vector<std::string> SplitAnyLineEnd(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

// The file's bytes as UTF-16 when its start says so, with the byte order.
bool LooksUtf16(const std::string& bytes, bool& bigEndian) {
  bigEndian = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
  if (bigEndian) return true;
  return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || bytes[1] == '\0');
}

// Decodes a language file and tells its encoding; nullopt when unreadable.
std::optional<DecodedText> DecodeLanguageFile(const std::string& path) {
  const auto bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  bool bigEndian = false;
  if (LooksUtf16(*bytes, bigEndian)) {
    std::string_view body = *bytes;
    if (body.size() >= 2 && ((body[0] == '\xFF' && body[1] == '\xFE') || (body[0] == '\xFE' && body[1] == '\xFF')))
      body.remove_prefix(2);
    return DecodedText{DecodeUtf16(body, bigEndian), bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE};
  }
  DecodedText decoded = DecodeTextBytes(*bytes);
  // A UTF-8 mark over bytes that are not UTF-8 was read as Windows-1252:
  // new lines must be appended in that encoding to read back.
  if (decoded.encoding == TextEncoding::Utf8Bom && !IsValidUtf8(std::string_view(*bytes).substr(3)))
    decoded.encoding = TextEncoding::Windows1252;
  return decoded;
}

// The table's translation without appending anything.
std::string LookUpOnly(const std::string& text) {
  const auto it = Table().find(text);
  return it == Table().end() ? text : it->second;
}

void ShowWarning(const std::string& text, const std::string& title) {
  CurrentUserInterface().MsgBox(text, vbExclamation | vbOKOnly, title);
}

}  // namespace

void SetLanguageChooser(LanguageChooser* chooser) { g_chooser = chooser; }

void ResetTranslator() {
  sLanguage.clear();
  sLanguageFile.clear();
  iLanguageFileFormat = 0;
  sLanguageFont.clear();
  g_appendEncoding = TextEncoding::Utf8;
  Table().clear();
}

int LocaleIdFromName(const std::string& localeName) {
  std::string name = localeName.substr(0, localeName.find_first_of(".@"));
  if (name.empty() || name == "C" || name == "POSIX") return 1033;
  const std::string language = ToLowerAscii(name.substr(0, name.find('_')));
  const std::string territory =
      name.find('_') == std::string::npos ? "" : ToUpperAscii(name.substr(name.find('_') + 1));
  if (language == "ja") return 1041;
  if (language == "ko") return 1042;
  if (language == "en") return territory == "US" ? 1033 : territory == "GB" ? 2057 : 0;
  if (language == "zh") {
    if (territory == "CN") return 2052;
    if (territory == "TW") return 1028;
    if (territory == "HK") return 3076;
    if (territory == "SG") return 4100;
    if (territory == "MO") return 5124;
  }
  return 0;
}

int UserLocaleId() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return LocaleIdFromName(value);
  }
  return LocaleIdFromName("");
}

std::string ReadLanguageCode() { return ReadSetting("Language", "Language_Code", ""); }
void WriteLanguageCode(const std::string& sCode) { WriteSetting("Language", "Language_Code", sCode); }
std::string ReadLanguageFont() { return ReadSetting("Language", "Language_Font", ""); }
void WriteLanguageFont(const std::string& sFont) { WriteSetting("Language", "Language_Font", sFont); }

std::string GetLanguageFilePath(const std::string& language) {
  const std::string folder = sDataFolder + "Languages/";
  const std::string name = language + "-" + sProductName + ".txt";
  // The chooser lists names in any case, such as German-Tessalumen.TXT.
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string found = it->path().filename().string();
    if (found == name) break;
    if (EqualsNoCase(found, name)) return folder + found;
  }
  return folder + name;
}

int DetectLanguageFileFormat(const std::string& sPath) {
  const auto decoded = DecodeLanguageFile(sPath);
  if (!decoded || decoded->text.empty() || decoded->text[0] != '"') return 99;
  const bool wide = decoded->encoding == TextEncoding::Utf16LE || decoded->encoding == TextEncoding::Utf16BE;
  return wide ? -1 : 0;
}

bool LoadLanguageFile() {
  auto& table = Table();
  table.clear();
  const auto decoded = DecodeLanguageFile(sLanguageFile);
  if (!decoded) {
    sLanguage = kEnglish;
    WriteLanguageCode(kEnglish);
    return false;
  }
  g_appendEncoding = decoded->encoding;
  for (std::string line : SplitAnyLineEnd(decoded->text)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (IsBlank(line) || line.rfind("\"!", 0) == 0) continue;
    if (line.rfind("\"****", 0) == 0) break;
    std::string key, translation;
    if (const auto sep = line.find("\",\""); sep != std::string::npos) {
      key = sep > 0 ? line.substr(1, sep - 1) : "";  // a line starting with "," has no key
      const std::string rest = line.substr(sep + 3);
      const auto next = rest.find("\",\"");  // further parts are ignored
      translation = next == std::string::npos ? rest.substr(0, rest.empty() ? 0 : rest.size() - 1)
                                              : rest.substr(0, next);
    } else {
      key = line.size() >= 2 ? line.substr(1, line.size() - 2) : "";
      translation = key;
    }
    if (!key.empty()) table.emplace(key, translation);  // the first one wins
  }
  return true;
}

void AppendMissingText(const std::string& sText) {
  if (IsBlank(sText) || sLanguageFile.empty() || !HasLetter(sText)) return;
  // The new line must read back as this one text: not a pair, a comment or
  // the end of the table.
  const std::string quoted = "\"" + sText + "\"";
  if (sText.find_first_of("\r\n") != std::string::npos || quoted.find("\",\"") != std::string::npos ||
      quoted.rfind("\"!", 0) == 0 || quoted.rfind("\"****", 0) == 0)
    return;
  bool ok = false;
  const int fd = ::open(sLanguageFile.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
  if (fd >= 0) {
    const bool wide = g_appendEncoding == TextEncoding::Utf16LE || g_appendEncoding == TextEncoding::Utf16BE;
    std::string line = quoted + "\r\n";
    // A last line without its line end would swallow the new text.
    struct stat st{};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
      char tail[2] = {0, 0};
      const off_t width = wide ? 2 : 1;
      if (st.st_size >= width && ::pread(fd, tail, width, st.st_size - width) == width) {
        const bool endsWithLf = wide ? ((tail[0] == '\n' && tail[1] == 0) || (tail[0] == 0 && tail[1] == '\n'))
                                     : tail[0] == '\n';
        if (!endsWithLf) line = "\r\n" + line;
      }
    }
    std::string bytes = EncodeText(line, g_appendEncoding);
    // A UTF-16 file cut to an odd length gets one byte to finish its last
    // unit, so that the new line starts on a unit of its own.
    if (wide && st.st_size % 2 != 0) bytes.insert(bytes.begin(), '\0');
    ok = WriteAllBytes(fd, bytes);
    if (::close(fd) != 0) ok = false;
  }
  if (!ok) ShowWarning(LookUpOnly("Unable to add to Language file"), LookUpOnly("Error"));
}

std::string Translate(const std::string& sText) {
  if (IsBlank(sText)) return sText;
  if (IsBlank(sLanguage)) return sText;
  auto& table = Table();
  if (const auto it = table.find(sText); it != table.end()) return it->second;
  if (sLanguage != kEnglish) AppendMissingText(sText);
  table.emplace(sText, sText);
  return sText;
}

std::vector<std::string> FillLanguageList() {
  std::vector<std::string> languages;
  const std::string tail = ToLowerAscii("-" + sProductName + ".txt");
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(sDataFolder + "Languages", ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const auto at = ToLowerAscii(name).find(tail);
    if (at != std::string::npos && at > 0) languages.push_back(name.substr(0, at));
  }
  std::sort(languages.begin(), languages.end());
  return languages;
}

bool SelectLanguage(bool& bShowRestartNotice) {
  if (bCommandLineMode || bAutomationMode) {
    sLanguage = kEnglish;
    return false;
  }
  std::string chosen, font;
  if (g_chooser) g_chooser->Choose(FillLanguageList(), sLanguage, chosen, font);
  if (chosen.empty()) return false;
  bool changed = false;
  if (chosen != sLanguage) {
    WriteLanguageCode(chosen);
    changed = true;
  } else {
    bShowRestartNotice = false;
  }
  if (!font.empty() && font != sLanguageFont) {
    WriteLanguageFont(font);
    changed = true;
  }
  if (bShowRestartNotice) {
    CurrentUserInterface().MsgBox(Translate("Your changes will take effect next time you run ") + sProductName,
                                  vbInformation | vbOKOnly, kProgramTitle);
  } else {
    sLanguage = chosen;
    sLanguageFont = font;
  }
  return changed;
}

void InitializeTranslator() {
  Table().clear();
  sProductName = "Tessalumen";
  iUserLCID = UserLocaleId();
  bAsianLocale = iUserLCID == 1028 || iUserLCID == 1041 || iUserLCID == 1042 || iUserLCID == 2052 ||
                 iUserLCID == 3076 || iUserLCID == 4100 || iUserLCID == 5124;
  try {
    sLanguage = ReadLanguageCode();
    if (sLanguage.empty()) {
      sLanguage = kEnglish;
      if (iUserLCID != 1033 && iUserLCID != 2057) {
        bool notice = false;
        SelectLanguage(notice);
      }
      WriteLanguageCode(sLanguage);
    }
    if (sLanguage != kEnglish) {
      sLanguageFile = GetLanguageFilePath(sLanguage);
      if (!bFileExists(sLanguageFile))
        throw TranslatorError("Unable to locate Language file: \r\n" + sLanguageFile);
      iLanguageFileFormat = DetectLanguageFileFormat(sLanguageFile);
      if (iLanguageFileFormat == 99)
        throw TranslatorError("Unable to read Language file: \r\n" + sLanguageFile);
      if (!LoadLanguageFile())
        throw TranslatorError("Unable to process Language file: \r\n" + sLanguageFile);
    }
    sLanguageFont = ReadLanguageFont();
  } catch (const TranslatorError& e) {
    ShowWarning(std::string(e.what()) + "\r\nDefaulting to English", "Error");
    Table().clear();
    sLanguage = kEnglish;
    sLanguageFile.clear();
    WriteLanguageCode(kEnglish);
  }
}

}  // namespace tessa
