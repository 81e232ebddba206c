// A command line is read as words; options are the words that look like
// "/X" (or "/F18" for the numeric letters), so absolute paths pass intact.
// Options are applied in order, a later one overwriting an earlier one;
// a value that cannot be used leaves its field unchanged.
#include "engine/task/command_line_parser.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "common/file_helpers.h"
#include "common/log_writer.h"
#include "common/path_macros.h"
#include "common/program_modes.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "common/vb_conversions.h"
#include "engine/task/caret_records.h"
#include "engine/task/file_types.h"
#include "engine/program/program_version.h"
#include "engine/task/validation.h"
#include "platform/clock.h"
#include "platform/process_runner.h"
#include "platform/program_file.h"
#include "platform/shell_open.h"

namespace tessa {


namespace {

constexpr const char* kDocumentationServer = "https://docs.brindlecove.example/";
constexpr const char* kHelpPage = "all-documentation/tessalumen/english/html5/#t=Tessaprint%2FUsing_the_Command_Line.htm";
constexpr const char* kHeaderBreak = "\r\n";


// Letters whose number may be written onto the letter.
bool TakesAttachedNumber(char letter) {
  switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'F': case 'C': case 'P': case 'M': case '0': return true;
    default: return false;
  }
}

bool IsWholeNumber(std::string_view s) {
  if (!s.empty() && s.front() == '-') s.remove_prefix(1);
  if (s.empty()) return false;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// A path value: quotes removed, macros expanded, "\" read as "/". A bare
// name lies in the current folder.
std::string ApplyPathRule(const std::string& value) {
  std::string path = StripQuotes(value);
  path = ToForwardSlashes(ExpandPathMacros(path));
  if (path.empty() || path.find('/') != std::string::npos) return path;
  std::error_code ec;
  const std::string here = std::filesystem::current_path(ec).string();
  return RemoveTrailingBackslash(here) + "/" + path;
}

// A text value for the PDF options: trimmed, then its quotes removed (the
// blanks inside them stay), and no "^", which would shift the fields of the
// options record.
std::string PdfText(const std::string& value) {
  std::string text = StripQuotes(TrimBlanks(value));
  std::erase(text, '^');
  return text;
}

// Sets field to the value read as a whole number; unchanged when it is none.
void ReadNumber(const std::string& value, int32_t& field) {
  if (const auto n = CLngText(value)) field = *n;
}

// The clock's date and time as "yyyy-mm-dd hh:nn:ss", whatever the locale.
std::string NowText() {
  const LocalDateTime now = ReadLocalClock();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                now.minute, now.second);
  return buf;
}

bool ParseWords(MainForm& form, const std::vector<std::string>& words, clsConversionOptions& t) {
  bool bEmpty = true;
  for (const auto& w : words) {
    if (!TrimBlanks(w).empty()) bEmpty = false;
  }
  if (bEmpty) {
    bCommandLineMode = false;
    return false;
  }
  bCommandLineMode = true;
  t.sExtraParams = "";
  AdvancedOptions pdf;  // append off, texts empty, compression 0, pages "*"
  std::optional<std::string> targetText;  // T as typed, for a program's arguments
  std::optional<std::string> processText;  // E as typed, for a program's process record

  for (const CommandLineOption& option : CutCommandLineOptions(words)) {
    const std::string& v = option.sValue;
    switch (option.cLetter) {
      case 'S': t.sOriginalFile = ApplyPathRule(v); break;
      case 'F': ReadNumber(v, t.lOriginalFileType); break;
      case 'T':
        t.sTargetFile = ApplyPathRule(v);
        targetText = StripQuotes(v);
        break;
      case 'C':
        ReadNumber(v, t.lTargetFileType);
        t.lConversionMethod = kMethodImageConversion;
        break;
      case 'V': t.bVerbose = true; break;
      case 'Z': t.bVerboseLog = true; break;
      case 'R': t.bDoSubfolders = true; break;
      case 'G': t.bSaveInOriginalFolder = true; break;
      case 'E': processText = StripQuotes(v); break;
      case 'L': {
        // Tokens first, so a "[YMD]" folder becomes a dated folder.
        std::string logFile = ApplyPathRule(v);
        t.sLogFile = ExpandDateTimeTokens(logFile);
        const std::string folder = GetParentFolder(t.sLogFile);
        if (!folder.empty() && !bFolderExists(folder)) MakeFolderPath(folder);
        break;
      }
      case 'B': t.sLogAsConversionJobFile = ApplyPathRule(v); break;
      case 'J': t.sCLBatchJobFile = ApplyPathRule(v); break;
      case 'P':
        t.sActionToDo = "S";
        ReadNumber(v, t.lSpecialProcess);
        t.lConversionMethod = kMethodSpecialProcess;
        break;
      case '?':
        ShellOpen(CommandLineHelpAddress());
        return false;
      case 'O':
        t.bOpenButDoNotRun = true;
        bCommandLineMode = false;
        break;
      case '+': pdf.append = true; break;
      case 'A': pdf.author = PdfText(v); break;
      case 'D': pdf.creator = PdfText(v); break;
      case 'K': pdf.keywords = PdfText(v); break;
      case 'U': pdf.subject = PdfText(v); break;
      case 'I': pdf.title = PdfText(v); break;
      case 'M': ReadNumber(v, pdf.compression); break;
      case 'W': pdf.pages = PdfText(v); break;
      case '0':
        t.bShellExtenderOptionsChange = true;
        ReadNumber(v, t.lSpecialProcess);
        bCommandLineMode = false;
        break;
      default: break;  // unknown letters are ignored
    }
  }

  t.sExtraParams = BuildAdvancedOptions(pdf);
  if (t.sActionToDo == "S" && t.lSpecialProcess == kProcessStartProgram) {
    // A task that starts a program keeps T as its argument text, not a path,
    // and E as its priority^window state^wait seconds; without E it waits
    // until the program ends.
    if (targetText) t.sTargetFile = *targetText;
    t.sExtraParams = processText.value_or(JoinCaretFields3(0, 0, kWaitWithoutLimit));
  }
  if (t.bSaveInOriginalFolder) {
    t.sTargetFile = GetParentFolder(t.sOriginalFile) + "/" +
                    GetFileTypeExtension(t.lTargetFileType, true, t.lConversionMethod);
  }
  if (!t.sCLBatchJobFile.empty() && t.sCLBatchJobFile.find("#OPEN.ZOL") != std::string::npos) {
    t.bOpenButDoNotRun = true;
    bCommandLineMode = false;
  }
  ValidateConversionItem(form, t);
  if (!t.sLogFile.empty()) WriteToLogFile(CommandLineLogHeader(), t.sLogFile, false);
  if (t.lErr == kValidationOk) return true;
  LogCommandLineItemError(t);
  return false;
}

}  // namespace

std::vector<std::string> SplitCommandLineWords(std::string_view text) { return SplitArguments(text, true); }

bool bIsCommandLineOption(std::string_view word) {
  if (word.size() < 2 || word.front() != '/') return false;
  if (word.size() == 2) return true;
  return TakesAttachedNumber(word[1]) && IsWholeNumber(word.substr(2));
}

std::vector<CommandLineOption> CutCommandLineOptions(const std::vector<std::string>& words) {
  std::vector<CommandLineOption> options;
  std::vector<std::string> valueWords;
  bool bHaveOption = false;
  bool bAttached = false;
  auto finish = [&] {
    if (bHaveOption && !bAttached) {
      std::string value;
      for (const auto& w : valueWords) {
        if (!value.empty()) value += ' ';
        value += w;
      }
      options.back().sValue = TrimBlanks(value);
    }
    valueWords.clear();
  };
  for (const std::string& word : words) {
    if (bIsCommandLineOption(word)) {
      finish();
      CommandLineOption option;
      option.cLetter = static_cast<char>(std::toupper(static_cast<unsigned char>(word[1])));
      bAttached = word.size() > 2;
      if (bAttached) option.sValue = word.substr(2);
      options.push_back(std::move(option));
      bHaveOption = true;
    } else if (bHaveOption && !TrimBlanks(word).empty()) {
      valueWords.push_back(TrimBlanks(word));
    }
  }
  finish();
  return options;
}

bool ParseCommandLine(MainForm& form, const std::string& sCommand, clsConversionOptions& task) {
  return ParseWords(form, SplitCommandLineWords(sCommand), task);
}

bool ParseCommandLine(MainForm& form, const std::vector<std::string>& args, clsConversionOptions& task) {
  return ParseWords(form, args, task);
}

std::string CommandLineLogHeader() {
  return "---------- " + ProgramFileStem() + " (v" + std::to_string(kProgramVersionMajor) + "." +
         std::to_string(kProgramVersionMinor) + std::to_string(kProgramVersionRevision) + ") ----------" +
         kHeaderBreak + Translate("Date") + ": " + NowText();
}

std::string CommandLineHelpAddress() { return std::string(kDocumentationServer) + kHelpPage; }

}  // namespace tessa
