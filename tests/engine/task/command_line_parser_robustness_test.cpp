// Random command lines: cutting them into words and options and parsing
// them into a task never fails, and the PDF options record always keeps
// its eight fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "common/program_modes.h"
#include "engine/task/command_line_parser.h"
#include "support/random_cases.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::RandomCases;
using test::ScopedEnv;
using test::TempDir;

// Pieces command lines are made of, well-formed and not.
const std::vector<std::string> kPieces = {
    "/S", "/T", "/F", "/C", "/s", "/t", "/F-1", "/F18", "/C100", "/C-", "/M", "/W", "/P", "/P60", "/0", "/012",
    "/+", "/?", "/A", "/D", "/K", "/U", "/I", "/R", "/G", "/V", "/Z", "/E", "/B", "/J", "/O", "/x", "/", "//",
    "/F99999999999999999999", "/C-2147483649", "/M2147483648", "99999999999999999999999", "-0", "-", "0",
    "\"", "\"\"", "\"a b\"", "'", "\\", "\\\\", "%APPDATA%", "%", "%%", "%TEMP", "[YMD]", "[", "]", "^", "^^",
    "*", "?", "*.tif", "a.tif", "x.pdf", "#OPEN.ZOL", ".", "..", "../..", "~", "1-3", "1,,2", "\xC3\xA9",
    "\xFF", std::string(1, '\0'), "", " ", "  ", "\t", "\r\n", std::string(300, 'a'), std::string(70000, 'b'),
};

// Random text made of pieces and random characters.
std::string RandomCommand(RandomCases& rng) {
  std::string text;
  for (size_t i = 0, n = rng.Below(14); i < n; ++i) {
    text += rng.Chance(80) ? rng.Pick(kPieces) : rng.From(" \t\"/\\%^-0123456789abcSTFC?+*", 1 + rng.Below(6));
    if (rng.Chance(70)) text += rng.Chance(80) ? " " : "\t";
  }
  return text;
}

// True when a word is the log option, whose value names a file to write.
bool IsLogOption(const std::string& w) {
  return bIsCommandLineOption(w) && std::toupper(static_cast<unsigned char>(w[1])) == 'L';
}

TEST(CommandLineRobustness, RandomTextSplitsAndCutsConsistently) {
  RandomCases rng(4001);
  for (int i = 0; i < 3000; ++i) {
    const std::string text = RandomCommand(rng);
    const auto words = SplitCommandLineWords(text);
    std::string joined;
    for (const auto& w : words) {
      ASSERT_FALSE(w.empty()) << i;
      if (w.find('"') == std::string::npos) {
        ASSERT_EQ(w.find_first_of(" \t"), std::string::npos) << i;
      }
      joined += (joined.empty() ? "" : " ") + w;
    }
    ASSERT_EQ(SplitCommandLineWords(joined), words) << i;
    for (const auto& option : CutCommandLineOptions(words)) {
      ASSERT_EQ(option.cLetter, std::toupper(static_cast<unsigned char>(option.cLetter))) << i;
      if (!option.sValue.empty()) {
        ASSERT_NE(option.sValue.front(), ' ') << i;
      }
    }
  }
}

TEST(CommandLineRobustness, RandomCommandsParseIntoAWellFormedTask) {
  test::ScriptedUserInterface ui;
  TempDir dir;
  ScopedEnv opener("TESSAPRINT_OPENER", "/bin/true");
  RandomCases rng(4002);
  MainForm form;
  for (int i = 0; i < 2000; ++i) {
    // The log option writes wherever it points: it is only given a safe file.
    std::vector<std::string> words = SplitCommandLineWords(RandomCommand(rng));
    std::erase_if(words, IsLogOption);
    if (rng.Chance(10)) {
      words.push_back("/L");
      words.push_back(dir.file("logs/[YMD]/run " + std::to_string(i % 3) + ".log"));
    }
    clsConversionOptions task;
    const bool ok = rng.Chance(50) ? ParseCommandLine(form, words, task) : [&] {
      std::string text;
      for (const auto& w : words) text += w + " ";
      return ParseCommandLine(form, text, task);
    }();
    if (ok) {
      ASSERT_EQ(task.lErr, 0) << i;
    }
    // An empty command is not read at all; "/?" only opens the help page.
    const auto options = CutCommandLineOptions(words);
    const bool help = std::any_of(options.begin(), options.end(), [](const auto& o) { return o.cLetter == '?'; });
    const bool blank = std::all_of(words.begin(), words.end(), [](const auto& w) { return w.find_first_not_of(" \t") == std::string::npos; });
    if (!help && !blank && !(task.sActionToDo == "S" && task.lSpecialProcess == 60)) {  // else a process record
      ASSERT_EQ(std::count(task.sExtraParams.begin(), task.sExtraParams.end(), '^'), 8) << i;
    }
  }
  bCommandLineMode = false;
}

}  // namespace
}  // namespace tessa
