#include "engine/task/command_line_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include <unistd.h>

#include "common/program_modes.h"
#include "engine/task/validation.h"
#include "platform/clock.h"
#include "platform/program_file.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

TEST(CommandLineWords, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(SplitCommandLineWords("  /S  a\tb  "), (std::vector<std::string>{"/S", "a", "b"}));
  EXPECT_EQ(SplitCommandLineWords("/T \"/home/u/My PDFs/out.pdf\" /F 18"),
            (std::vector<std::string>{"/T", "\"/home/u/My PDFs/out.pdf\"", "/F", "18"}));
  EXPECT_EQ(SplitCommandLineWords("x\"a b\"y z"), (std::vector<std::string>{"x\"a b\"y", "z"}));
  EXPECT_TRUE(SplitCommandLineWords("   ").empty());
}

TEST(CommandLineWords, WhichWordsAreOptions) {
  for (const char* w : {"/S", "/+", "/?", "/0", "/s", "/F-1", "/C100", "/p60", "/m2", "/012", "/x"}) {
    EXPECT_TRUE(bIsCommandLineOption(w)) << w;
  }
  for (const char* w : {"/", "/home/u/a.tif", "/mnt/x", "/Ajohn", "/F1a", "/F-", "\"/S\"", "S", "/Tout", "/ff"}) {
    EXPECT_FALSE(bIsCommandLineOption(w)) << w;
  }
}

TEST(CommandLineWords, OptionValues) {
  const auto options = CutCommandLineOptions(
      SplitCommandLineWords("ignored words /s /home/u/*.tif /F-1 stray /a John  Smith /+ /w 1, 3-5"));
  ASSERT_EQ(options.size(), 5u);
  EXPECT_EQ(options[0].cLetter, 'S');
  EXPECT_EQ(options[0].sValue, "/home/u/*.tif");
  EXPECT_EQ(options[1].cLetter, 'F');
  EXPECT_EQ(options[1].sValue, "-1");
  EXPECT_EQ(options[2].cLetter, 'A');
  EXPECT_EQ(options[2].sValue, "John Smith");
  EXPECT_EQ(options[3].cLetter, '+');
  EXPECT_EQ(options[3].sValue, "");
  EXPECT_EQ(options[4].sValue, "1, 3-5");
}

class CommandLine : public ::testing::Test {
 protected:
  CommandLine() {
    WriteFile(dir.path() / "My Scans" / "a.tif", "tif");
    WriteFile(dir.path() / "My Scans" / "b.tif", "tif");
    fs::create_directories(dir.path() / "out");
  }
  ~CommandLine() override { bCommandLineMode = false; }

  bool Parse(const std::string& text) {
    task = clsConversionOptions{};
    return ParseCommandLine(form, text, task);
  }

  std::string P(const std::string& rel) const { return dir.file(rel); }
  std::string Q(const std::string& rel) const { return "\"" + P(rel) + "\""; }

  TempDir dir;
  MainForm form;
  clsConversionOptions task;
};

TEST_F(CommandLine, WholeCommandFillsTheTask) {
  ASSERT_TRUE(Parse("/S " + Q("My Scans/*.tif") + " /F 18 /T " + P("out") +
                    " /C100 /v /Z /r /L " + Q("logs/run.log") + " /B " + P("failed.zol") +
                    " /A \"Ann\" /D Tool /K k1 k2 /U Sub /I The Title /M 3 /W 1-2 /+"));
  EXPECT_TRUE(bCommandLineMode);
  EXPECT_EQ(task.sActionToDo, "C");
  EXPECT_EQ(task.sOriginalFile, P("My Scans/*.tif"));
  EXPECT_EQ(task.lOriginalFileType, 18);
  EXPECT_EQ(task.sTargetFile, P("out/PDF.pdf"));  // one PDF that every input is appended to
  EXPECT_EQ(task.lTargetFileType, 100);
  EXPECT_EQ(task.lConversionMethod, 1);
  EXPECT_TRUE(task.bVerbose);
  EXPECT_TRUE(task.bVerboseLog);
  EXPECT_TRUE(task.bDoSubfolders);
  EXPECT_EQ(task.sLogFile, P("logs/run.log"));
  EXPECT_EQ(task.sLogAsConversionJobFile, P("failed.zol"));
  EXPECT_EQ(task.sExtraParams, "TRUE^Ann^Tool^k1 k2^Sub^The Title^3^1-2^");
  EXPECT_EQ(task.lErr, 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "logs"));  // the log's folder is made
}

TEST_F(CommandLine, LettersInAnyCaseAndLaterOptionsWin) {
  ASSERT_TRUE(Parse("/s " + Q("My Scans/a.tif") + " /t " + P("out/first.pdf") + " /T " + P("out/second.pdf") +
                    " /f 2 /F18 /i one /I two"));
  EXPECT_EQ(task.sTargetFile, P("out/second.pdf"));
  EXPECT_EQ(task.lOriginalFileType, 18);
  EXPECT_EQ(task.sExtraParams, "FALSE^^^^^two^0^*^");
}

TEST_F(CommandLine, NumbersThatDoNotReadLeaveTheField) {
  ASSERT_TRUE(Parse("/S " + Q("My Scans/a.tif") + " /T " + P("out/x.pdf") + " /M high /F eighteen /C pdf"));
  EXPECT_EQ(task.sExtraParams, "FALSE^^^^^^0^*^");
  EXPECT_EQ(task.lOriginalFileType, -12345678);
  EXPECT_EQ(task.lTargetFileType, 100);
}

TEST_F(CommandLine, NoPdfOptionsGiveTheDefaultRecord) {
  ASSERT_TRUE(Parse("/S " + Q("My Scans/a.tif") + " /T " + P("out/x.pdf") + " /E ignored"));
  EXPECT_EQ(task.sExtraParams, "FALSE^^^^^^0^*^");
}

TEST_F(CommandLine, CaretsCannotShiftTheOptionFields) {
  ASSERT_TRUE(Parse("/S " + Q("My Scans/a.tif") + " /T " + P("out/x.pdf") + " /A a^b /I ^T^ /W 1^2 /D \"x^\""));
  EXPECT_EQ(task.sExtraParams, "FALSE^ab^x^^^T^0^12^");
}

TEST_F(CommandLine, QuotedPdfTextsKeepTheirBlanks) {
  ASSERT_TRUE(Parse("/S " + Q("My Scans/a.tif") + " /T " + P("out/x.pdf") + " /A \"  jo  hn  \" /D \" d \"" +
                    " /K \" k \" /U \" u \" /I \" t \" /W \" 1 \""));
  EXPECT_EQ(task.sExtraParams, "FALSE^  jo  hn  ^ d ^ k ^ u ^ t ^0^ 1 ^");
}

TEST_F(CommandLine, ShellOptionsOfProcess60ReachAnUnwritableOutput) {
  ASSERT_TRUE(Parse("/0 60 /S " + Q("My Scans/a.tif") + " /T /proc/tessa-no-such-folder/x.pdf"));
  EXPECT_EQ(task.sActionToDo, "C");
  EXPECT_EQ(task.lErr, 0);
}

TEST_F(CommandLine, ArgumentsAreWordsAsTheyStand) {
  ASSERT_TRUE(ParseCommandLine(form, std::vector<std::string>{"/S", P("My Scans/a.tif"), "/T", P("out/b c.pdf")}, task));
  EXPECT_EQ(task.sOriginalFile, P("My Scans/a.tif"));
  EXPECT_EQ(task.sTargetFile, P("out/b c.pdf"));
}

TEST_F(CommandLine, BareNamesLieInTheCurrentFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(dir.path() / "My Scans");
  const bool ok = Parse("/S a.tif /T \"out put.pdf\" /L run.log");
  fs::current_path(before);
  EXPECT_TRUE(ok);
  EXPECT_EQ(task.sOriginalFile, P("My Scans/a.tif"));
  EXPECT_EQ(task.sTargetFile, P("My Scans/out put.pdf"));
  EXPECT_EQ(task.sLogFile, P("My Scans/run.log"));
  // Backslashes read as slashes.
  ASSERT_TRUE(Parse("/S " + P("My Scans") + "\\a.tif /T " + P("out/x.pdf")));
  EXPECT_EQ(task.sOriginalFile, P("My Scans/a.tif"));
}

TEST_F(CommandLine, SaveBesideTheInputReplacesTheOutput) {
  ASSERT_TRUE(Parse("/S " + Q("My Scans/*.tif") + " /T " + P("out/x.pdf") + " /G"));
  EXPECT_EQ(task.sTargetFile, P("My Scans/*.PDF"));
  EXPECT_TRUE(task.bSaveInOriginalFolder);
}

TEST_F(CommandLine, OpenOnlyAndShellOptionsLeaveCommandLineMode) {
  const std::string job = WriteFile(dir.path() / "job.zol", "");
  ASSERT_TRUE(Parse("/J " + job + " /O"));
  EXPECT_TRUE(task.bOpenButDoNotRun);
  EXPECT_FALSE(bCommandLineMode);
  EXPECT_EQ(task.sCLBatchJobFile, job);

  const std::string marked = WriteFile(dir.path() / "x#OPEN.ZOL", "");
  ASSERT_TRUE(Parse("/J " + marked));
  EXPECT_TRUE(task.bOpenButDoNotRun);
  EXPECT_FALSE(bCommandLineMode);
  ASSERT_TRUE(Parse("/J " + WriteFile(dir.path() / "x#open.zol", "")));
  EXPECT_FALSE(task.bOpenButDoNotRun);
  EXPECT_TRUE(bCommandLineMode);

  ASSERT_TRUE(Parse("/0 /S " + Q("My Scans/a.tif")));
  EXPECT_TRUE(task.bShellExtenderOptionsChange);
  EXPECT_EQ(task.lSpecialProcess, 0);
  EXPECT_FALSE(bCommandLineMode);
  ASSERT_TRUE(Parse("/060 /S " + Q("My Scans/a.tif")));
  EXPECT_EQ(task.lSpecialProcess, 60);
  Parse("/0 7");
  EXPECT_EQ(task.lSpecialProcess, 7);
}

TEST_F(CommandLine, SpecialProcessOption) {
  EXPECT_TRUE(Parse("/P60 /S /bin/true /T --version"));
  EXPECT_EQ(task.sActionToDo, "S");
  EXPECT_EQ(task.lSpecialProcess, 60);
  EXPECT_EQ(task.lConversionMethod, 4);
  // The program's arguments are text, not a path in the current folder.
  EXPECT_TRUE(Parse("/T -n \"two words\" %APPDATA%\\x /P 60 /S /bin/echo"));
  EXPECT_EQ(task.sTargetFile, "-n two words %APPDATA%\\x");
  EXPECT_FALSE(Parse("/P 7"));
  EXPECT_EQ(task.lErr, kInvalidSpecialProcess);
}

TEST_F(CommandLine, EmptyCommandDoesNothing) {
  bCommandLineMode = true;
  EXPECT_FALSE(Parse("   "));
  EXPECT_FALSE(bCommandLineMode);
  EXPECT_EQ(task.sExtraParams, "1");
  EXPECT_FALSE(ParseCommandLine(form, std::vector<std::string>{}, task));
}

TEST_F(CommandLine, LogStartsWithTheHeaderThenTheError) {
  const std::string log = P("logs/run.log");
  EXPECT_FALSE(Parse("/S " + Q("My Scans/*.tif") + " /T " + P("out/one.pdf") + " /L " + log));
  EXPECT_EQ(task.lErr, kManyInputsOneOutput);
  const std::string text = ReadFile(log);
  const std::regex header("^---------- " + ProgramFileStem() +
                          " \\(v1\\.00\\) ----------\r\nDate: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\r\n");
  EXPECT_TRUE(std::regex_search(text, header)) << text;
  EXPECT_NE(text.find("You are attempting to convert numerous 'Input Files' to a single 'Output File'."),
            std::string::npos);
  EXPECT_EQ(task.sErr.empty(), false);

  // Without a log file the header goes nowhere; a valid task logs only it.
  ASSERT_TRUE(Parse("/S " + Q("My Scans/a.tif") + " /T " + P("out/x.pdf") + " /L " + P("ok.log")));
  EXPECT_TRUE(std::regex_match(ReadFile(P("ok.log")), std::regex("-{10} .*-{10}\r\nDate: [^\r\n]*\r\n")));
}

TEST_F(CommandLine, LogPathGetsItsDateBeforeItsFolderIsMade) {
  SetClockSource([] { return LocalDateTime{2024, 3, 7, 9, 5, 2}; });
  const bool ok = Parse("/S " + Q("My Scans/a.tif") + " /T " + P("out/x.pdf") + " /L " + P("logs/[YMD]/run-[HIS].log"));
  SetClockSource({});
  ASSERT_TRUE(ok);
  EXPECT_EQ(task.sLogFile, P("logs/20240307/run-090502.log"));
  EXPECT_FALSE(fs::exists(dir.path() / "logs" / "[YMD]"));
  EXPECT_EQ(ReadFile(task.sLogFile), "---------- " + ProgramFileStem() + " (v1.00) ----------\r\nDate: 2024-03-07 09:05:02\r\n");
}

TEST_F(CommandLine, PathMacrosAreExpanded) {
  ScopedEnv config("XDG_CONFIG_HOME", P("config"));
  WriteFile(dir.path() / "config" / "in" / "c.tif", "tif");
  ASSERT_TRUE(Parse("/S %appdata%/in/c.tif /T %APPDATA%\\out\\c.pdf"));
  EXPECT_EQ(task.sOriginalFile, P("config/in/c.tif"));
  EXPECT_EQ(task.sTargetFile, P("config/out/c.pdf"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "config" / "out"));
}

TEST_F(CommandLine, TextWithoutOptionsFailsValidation) {
  EXPECT_FALSE(Parse("just some words"));
  EXPECT_TRUE(bCommandLineMode);
  EXPECT_EQ(task.lErr, kInputFileMissing);
  EXPECT_FALSE(task.sErr.empty());
}

TEST_F(CommandLine, HelpOpensThePageAndLogsNothing) {
  const std::string record = P("opened.txt");
  const std::string opener = WriteFile(dir.path() / "opener.sh", "#!/bin/sh\nprintf '%s' \"$1\" > '" + record + "'\n");
  fs::permissions(opener, fs::perms::owner_all);
  ScopedEnv env("TESSAPRINT_OPENER", opener);
  EXPECT_FALSE(Parse("/L " + P("help.log") + " /? /S " + Q("My Scans/a.tif") + " /T " + P("out/x.pdf")));
  EXPECT_FALSE(fs::exists(P("help.log")));
  EXPECT_EQ(task.sOriginalFile, "");  // nothing after "?" was read
  test::WaitUntil([&] { return !ReadFile(record).empty(); });
  EXPECT_EQ(ReadFile(record), CommandLineHelpAddress());
  EXPECT_NE(CommandLineHelpAddress().find("Using_the_Command_Line.htm"), std::string::npos);
}

}  // namespace
}  // namespace tessa
