// tessaprint started from a command line, as a script would: a child
// process in a scratch home folder, no display.
#include <QDir>
#include <QLibraryInfo>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "support/child_process.h"
#include "support/pdf_report.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

const fs::path kDemoData = TESSA_BINARY_DIR "/share/tessaprint/Demo Data";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool bHasLine(const std::vector<std::string>& lines, const std::regex& pattern) {
  for (const auto& l : lines)
    if (std::regex_match(l, pattern)) return true;
  return false;
}

// One job-file line: the cells of a to-do row, each followed by a TAB.
std::string JobLine(const std::vector<std::string>& cells) {
  std::string line;
  for (const auto& c : cells) line += c + "\t";
  return line + "\r\n";
}

std::string JobPlaceholderLine() { return JobLine({"", "", "*", "", "", "", "", "", "", "", ""}); }

std::string ConversionJobLine(int task, const std::string& input, int type, const std::string& output) {
  return JobLine({"M", "FALSE^^^^^^0^*^", std::to_string(task), "C", input, std::to_string(type), "", output, "100",
                  "PDF", ""});
}

class CommandLineStart : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.path() / "home");
    fs::create_directories(dir_.path() / "in");
    fs::create_directories(dir_.path() / "out");
    for (const char* name : {"Sunrise.jpg", "Checkerboard.png", "Three Pages.tif"})
      fs::copy_file(kDemoData / name, dir_.path() / "in" / name);
    test::WriteFile(dir_.path() / "in" / "broken.jpg", "this is not a picture at all");
    // Where "/?" would open the help page: a script that notes the address.
    opener_ = test::WriteFile(dir_.path() / "opener.sh", "#!/bin/sh\necho \"$1\" >> '" + file("opened.txt") + "'\n");
    fs::permissions(opener_, fs::perms::owner_all);
  }

  std::string file(const std::string& name) const { return dir_.file(name); }
  std::string home() const { return dir_.file("home"); }

  test::ChildResult Run(const std::vector<std::string>& args, std::map<std::string, std::string> env = {}) {
    env["TESSAPRINT_OPENER"] = opener_;
    return test::RunChild(test::TessaprintPath(), args, test::ChildEnvironment(home(), env));
  }

  std::vector<std::string> Log(const std::string& name) { return Lines(test::ReadFile(file(name))); }

  test::TempDir dir_;
  std::string opener_;
};

TEST_F(CommandLineStart, GoodConversionMakesThePdfLogsSuccessAndExitsZero) {
  const auto r = Run({"/S", file("in/Sunrise.jpg"), "/T", file("out/Sunrise.pdf"), "/L", file("run.log")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  ASSERT_TRUE(fs::exists(file("out/Sunrise.pdf")));
  EXPECT_TRUE(test::PdfIsSound(file("out/Sunrise.pdf")));
  const auto log = Log("run.log");
  EXPECT_TRUE(bHasLine(log, std::regex("---------- tessaprint \\(v.*\\) ----------")));
  EXPECT_TRUE(bHasLine(log, std::regex("Conversion Successful")));
  EXPECT_TRUE(bHasLine(log, std::regex("Time to complete job: [0-9]+\\.[0-9]")));
  EXPECT_FALSE(bHasLine(log, std::regex("Job # .*")));
}

TEST_F(CommandLineStart, OptionsStoredByTheWindowApply) {
  test::WriteFile(home() + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI",
                  "[frmMain]\r\nbSkipProcessedFiles=TRUE\r\nbDeleteOriginalFileAfterProcessing=TRUE\r\n");
  test::WriteFile(file("out/old.pdf"), "kept");
  EXPECT_EQ(Run({"/S", file("in/Checkerboard.png"), "/T", file("out/old.pdf")}).exitCode, 0);  // skipped
  EXPECT_EQ(Run({"/S", file("in/Sunrise.jpg"), "/T", file("out/new.pdf")}).exitCode, 0);
  EXPECT_EQ(test::ReadFile(file("out/old.pdf")), "kept");
  EXPECT_TRUE(fs::exists(file("in/Checkerboard.png")));
  EXPECT_FALSE(fs::exists(file("in/Sunrise.jpg")));
}

TEST_F(CommandLineStart, BadImageLogsItsJobLineAndExitsOne) {
  const auto r = Run({"/S", file("in/broken.jpg"), "/T", file("out/broken.pdf"), "/L", file("run.log")});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  const auto log = Log("run.log");
  EXPECT_TRUE(bHasLine(log, std::regex("Job # 1  .+ - " + std::regex_replace(file("in/broken.jpg"), std::regex("[.]"), "\\.")))) << test::ReadFile(file("run.log"));
  EXPECT_FALSE(bHasLine(log, std::regex("Conversion Successful")));
  EXPECT_TRUE(bHasLine(log, std::regex("Time to complete job: [0-9]+\\.[0-9]")));
}

TEST_F(CommandLineStart, InvalidCommandLineLogsWhyAndExitsTwo) {
  // No input at all.
  const auto r = Run({"/T", file("out/x.pdf"), "/L", file("run.log")});
  EXPECT_EQ(r.exitCode, 2) << r.err;
  EXPECT_TRUE(bHasLine(Log("run.log"), std::regex("Missing required or invalid command line argument\\(s\\)")));
  // The bus's start-up marker counts only at the start of an argument.
  EXPECT_EQ(Run({"/S", file("in/scan-embedded.png"), "/L", file("run2.log")}).exitCode, 2);
}

TEST_F(CommandLineStart, HelpOptionOpensTheHelpPageAndWritesNoLog) {
  const auto r = Run({"/L", file("help.log"), "/?"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(fs::exists(file("help.log")));
  test::WaitUntil([&] { return test::ReadFile(file("opened.txt")).find('\n') != std::string::npos; });
  EXPECT_NE(test::ReadFile(file("opened.txt")).find("Using_the_Command_Line"), std::string::npos);
}

TEST_F(CommandLineStart, ARunLeavesNoMacroFolderWhereItWasStarted) {
  const fs::path here = dir_.path() / "here";
  fs::create_directories(here);
  const auto r = test::RunChild(test::TessaprintPath(),
                                {"/S", file("in/Sunrise.jpg"), "/T", "%MYDOCUMENTS%\\out.pdf", "/L", "%APPDATA%/run.log"},
                                test::ChildEnvironment(home()), 60, here.string());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(test::PdfIsSound(home() + "/Documents/out.pdf"));
  std::vector<std::string> macroNamed;
  for (const auto& entry : fs::recursive_directory_iterator(here))
    if (entry.path().filename().string().find('%') != std::string::npos) macroNamed.push_back(entry.path());
  EXPECT_EQ(macroNamed, std::vector<std::string>{});
}

TEST_F(CommandLineStart, DateTokenInTheLogPathNamesTheLogFile) {
  const auto r = Run({"/S", file("in/Checkerboard.png"), "/T", file("out/c.pdf"), "/L", file("logs/run-[YMD].log")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(file("logs"))) names.push_back(e.path().filename().string());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_TRUE(std::regex_match(names[0], std::regex("run-20[0-9]{6}\\.log"))) << names[0];
}

TEST_F(CommandLineStart, JobFileRunsEveryTaskAndSucceeds) {
  const std::string job = test::WriteFile(
      file("two.ZOL"), ConversionJobLine(1, file("in/Sunrise.jpg"), 2, file("out/one.pdf")) +
                           ConversionJobLine(2, file("in/Checkerboard.png"), 13, file("out/two.pdf")) +
                           JobLine({"", "0^1^30", "3", "S60", "/bin/true", "-12345678", "", "", "-12345678", "", ""}) +
                           JobPlaceholderLine());
  const auto r = Run({"/J", job, "/L", file("job.log")});
  // The started program's exit-code row is a logged success, not a failure.
  EXPECT_EQ(r.exitCode, 0) << r.err << test::ReadFile(file("job.log"));
  EXPECT_TRUE(fs::exists(file("out/one.pdf")));
  EXPECT_TRUE(fs::exists(file("out/two.pdf")));
  EXPECT_TRUE(bHasLine(Log("job.log"), std::regex("Conversion Successful")));
}

TEST_F(CommandLineStart, FailedJobWritesItsLogRowsAsAJobFile) {
  const std::string job = test::WriteFile(
      file("mixed.ZOL"), ConversionJobLine(1, file("in/Sunrise.jpg"), 2, file("out/good.pdf")) +
                             ConversionJobLine(2, file("in/broken.jpg"), 2, file("out/bad.pdf")) +
                             JobPlaceholderLine());
  const auto r = Run({"/J", job, "/L", file("job.log"), "/B", file("failed.ZOL")});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_TRUE(fs::exists(file("out/good.pdf")));
  EXPECT_TRUE(bHasLine(Log("job.log"), std::regex("Job # 2  .+ - .*broken\\.jpg")));
  const std::string failed = test::ReadFile(file("failed.ZOL"));
  EXPECT_NE(failed.find(file("in/broken.jpg")), std::string::npos) << failed;
}

TEST_F(CommandLineStart, VerboseLinesGoToStderrWithoutADisplay) {
  const auto r = Run({"/S", file("in/Sunrise.jpg"), "/T", file("out/v.pdf"), "/V"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("Conversion Successful"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Time to complete job: "), std::string::npos) << r.err;
}

TEST_F(CommandLineStart, MissingLanguageFileWarnsOnStderrEvenWithADisplay) {
  test::WriteFile(fs::path(home()) / ".config" / "Brindlecove, Inc" / "Tessalumen" / "Vemo_SearchHistory.INI",
                  "[Language]\r\nLanguage_Code=Klingon\r\n");
  // A display is there (drawn off screen, so a box would wait for a click
  // that never comes); a script must still run through.
  const auto r = test::RunChild(test::TessaprintPath(),
                                {"/S", file("in/Sunrise.jpg"), "/T", file("out/k.pdf"), "/L", file("run.log")},
                                test::ChildEnvironment(home(), {{"DISPLAY", "elsewhere.invalid:0"},
                                                                {"QT_QPA_PLATFORM", "offscreen"},
                                                                {"TESSAPRINT_OPENER", opener_}}),
                                15);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::exists(file("out/k.pdf")));
  EXPECT_NE(r.err.find("Unable to locate Language file"), std::string::npos) << r.err;
  EXPECT_TRUE(bHasLine(Log("run.log"), std::regex("Conversion Successful")));
}

TEST_F(CommandLineStart, VerboseBoxesOnADisplayLeaveTheExitCodeToTheRun) {
  // A display drawn off screen; each box is answered at once.
  const auto env = test::ChildEnvironment(home(), {{"DISPLAY", "elsewhere.invalid:0"},
                                                   {"QT_QPA_PLATFORM", "offscreen"},
                                                   {"LD_PRELOAD", TESSA_BOX_ANSWER},
                                                   {"TESSAPRINT_OPENER", opener_}});
  const auto good = test::RunChild(test::TessaprintPath(), {"/S", file("in/Sunrise.jpg"), "/T", file("out/v.pdf"), "/V"},
                                   env, 30);
  EXPECT_EQ(good.exitCode, 0) << good.err;
  EXPECT_TRUE(fs::exists(file("out/v.pdf")));
  EXPECT_EQ(good.err.find("Conversion Successful"), std::string::npos) << "shown in a box, not on stderr";
  const auto bad = test::RunChild(test::TessaprintPath(),
                                  {"/S", file("in/broken.jpg"), "/T", file("out/w.pdf"), "/V"}, env, 30);
  EXPECT_EQ(bad.exitCode, 1) << bad.err;
  EXPECT_NE(good.err.find("box Cancel: Cancel"), std::string::npos) << good.err;

  // A German start: Qt's own buttons are German too.
  test::WriteFile(home() + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI",
                  "[Language]\r\nLanguage_Code=German\r\n");
  const auto german = test::RunChild(test::TessaprintPath(),
                                     {"/S", file("in/Sunrise.jpg"), "/T", file("out/g.pdf"), "/V"}, env, 30);
  if (QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).exists("qtbase_de.qm")) {
    EXPECT_NE(german.err.find("box Cancel: Abbrechen"), std::string::npos) << german.err;
  }
}

TEST_F(CommandLineStart, FirstStartCopiesTheDemoFoldersOnceAndStoresNoSettings) {
  // A first start in a locale that would ask for a language on a window start.
  Run({"/S", file("in/Sunrise.jpg"), "/T", file("out/a.pdf")}, {{"LC_ALL", "fr_FR.UTF-8"}});
  const fs::path data = fs::path(home()) / ".config" / "Brindlecove, Inc" / "Tessalumen";
  for (const char* sub : {"Demo Data", "Demo Conversion Jobs", "Demo Batch Files", "Languages"})
    EXPECT_TRUE(fs::is_directory(data / sub)) << sub;
  EXPECT_TRUE(fs::exists(data / "Demo Data" / "Three Pages.tif"));
  // A command-line start keeps the settings file to the location probe.
  const std::string settings = test::ReadFile(data / "Vemo_SearchHistory.INI");
  EXPECT_EQ(settings.find("Language"), std::string::npos) << settings;

  fs::remove_all(data);  // the whole per-user folder, the settings file with it
  Run({"/S", file("in/Sunrise.jpg"), "/T", file("out/b.pdf")});
  EXPECT_FALSE(fs::exists(data / "Demo Data")) << "copied only on the first start";
}

TEST_F(CommandLineStart, TerminalSaysWhatFailedAndHowToAsk) {
  test::WriteFile(file("in/not a dir"), "x");
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;  // texts that stdout and stderr hold
  };
  const std::vector<Case> cases = {
      {{"--help"}, 0, "usage: tessaprint /S", ""},
      {{"-h"}, 0, "usage: tessaprint /S", ""},
      {{"/?"}, 0, "Using_the_Command_Line", ""},
      {{"/O"}, 2, "", "usage: tessaprint /S"},
      {{"/S", file("in/Sunrise.jpg")}, 2, "", "Missing required or invalid command line argument(s)"},
      {{"/S", file("in"), "/T", file("out/f.pdf")}, 2, "", "usage: tessaprint /S <image or mask> /T"},
      {{"/S", file("in/broken.jpg"), "/T", file("out/b.pdf")}, 1, "", "Job # 1  PDF was not created"},
      {{"/S", file("in/Sunrise.jpg"), "/T", file("out/s.pdf"), "/L", file("in/not a dir/run.log")}, 1, "",
       "Unable to write the log file"},
      {{"/S", file("in/broken.jpg"), "/T", file("out/b.pdf"), "/B", file("in/not a dir/failed.ZOL")}, 1, "",
       "Unable to write the failed-tasks job file"},
  };
  for (const Case& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << r.err;
    EXPECT_NE(r.out.find(c.out), std::string::npos) << c.args[0] << ": " << r.out;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args[0] << ": " << r.err;
  }
}

TEST_F(CommandLineStart, ItemsThatWouldDestroyAnInputOrAnEarlierOutputFail) {
  const std::string photo = file("in/Sunrise.jpg");
  const std::string before = test::ReadFile(photo);
  EXPECT_EQ(Run({"/S", photo, "/T", photo}).exitCode, 1);
  EXPECT_EQ(Run({"/S", file("in/*.jpg"), "/T", file("in/*.jpg")}).exitCode, 1);
  EXPECT_EQ(test::ReadFile(photo), before);

  // x.jpg, x.png and x.tif all name out/x.pdf: the first keeps it.
  fs::create_directories(file("same"));
  fs::copy_file(photo, file("same/x.jpg"));
  fs::copy_file(kDemoData / "Checkerboard.png", file("same/x.png"));
  fs::copy_file(kDemoData / "Three Pages.tif", file("same/x.tif"));
  const auto r = Run({"/S", file("same/*.*"), "/T", file("out/*.pdf"), "/L", file("clash.log")});
  EXPECT_EQ(r.exitCode, 1);
  const test::PdfReport report = test::InspectPdf(file("out/x.pdf"));
  EXPECT_EQ(report.pages, 1);
  ASSERT_EQ(report.images.size(), 1u);
  EXPECT_EQ(report.images[0].encoding, "jpeg");
  EXPECT_TRUE(bHasLine(Log("clash.log"), std::regex("Job # 1  .*same output file.* - .*/same/x\\.png")));
}

TEST_F(CommandLineStart, TiffPagesAndOutputFoldersWhateverTheNamesLookLike) {
  // A TIFF without its extension is still cut into the pages /W names.
  fs::copy_file(kDemoData / "Three Pages.tif", file("in/SCAN"));
  EXPECT_EQ(Run({"/S", file("in/SCAN"), "/T", file("out/two.pdf"), "/W", "2"}).exitCode, 0);
  EXPECT_EQ(test::InspectPdf(file("out/two.pdf")).pages, 1);
  // A TIFF cut short is unreadable, and the TIFF reader's own words stay off stderr.
  const std::string whole = test::ReadFile(file("in/SCAN"));
  test::WriteFile(file("in/cut.tif"), whole.substr(0, whole.size() / 2));
  const auto cut = Run({"/S", file("in/cut.tif"), "/T", file("out/cut.pdf")});
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_NE(cut.err.find("Invalid file format"), std::string::npos) << cut.err;
  EXPECT_EQ(cut.err.find("TIFF"), std::string::npos) << cut.err;
  EXPECT_FALSE(fs::exists(file("out/cut.pdf")));
  // A relative output folder with a slash at its end.
  fs::create_directories(file("od"));
  const auto r = test::RunChild("/bin/sh", {"-c", "cd " + test::ShellQuote(dir_.path().string()) + " && " +
                                                     test::ShellQuote(test::TessaprintPath()) + " /S in/Sunrise.jpg /T od/"},
                                test::ChildEnvironment(home()));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(fs::directory_iterator(file("od")) == fs::directory_iterator(), false);
}

TEST_F(CommandLineStart, JobFilesWithoutTasksFailAndLogNoRawBytes) {
  test::WriteFile(file("empty.ZOL"), "");
  // A row that the checks refuse (one input into an output mask) runs nothing.
  test::WriteFile(file("refused.ZOL"), ConversionJobLine(1, file("in/Sunrise.jpg"), 2, file("out/*.pdf")));
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 37 + 11) % 256);
  test::WriteFile(file("noise.ZOL"), noise);
  for (const std::string& job : {file("empty.ZOL"), file("noise.ZOL"), file("in/Sunrise.jpg"), file("refused.ZOL")}) {
    const auto r = Run({"/J", job, "/L", file("job.log")});
    EXPECT_EQ(r.exitCode, 1) << job;
    const std::string log = test::ReadFile(file("job.log"));
    EXPECT_EQ(log.find("Conversion Successful"), std::string::npos) << job;
    for (unsigned char c : log) EXPECT_TRUE(c >= 0x20 || c == '\r' || c == '\n' || c == '\t') << job << int(c);
    fs::remove(file("job.log"));
  }
}

TEST_F(CommandLineStart, VerboseLogListsEveryFileAndTheFailedJobOnlyTheFailures) {
  fs::copy_file(file("in/Sunrise.jpg"), file("in/a1.jpg"));  // converted before broken.jpg fails
  Run({"/S", file("in/*.jpg"), "/T", file("out/*.pdf"), "/Z", "/L", file("z.log"), "/B", file("z.ZOL")});
  for (const std::string name : {"a1", "broken", "Sunrise"})
    EXPECT_NE(test::ReadFile(file("z.log")).find("\t" + file("in/" + name + ".jpg") + "\t"), std::string::npos);
  EXPECT_TRUE(std::regex_match(test::ReadFile(file("z.ZOL")), std::regex("[^\n]*/broken\\.jpg[^\n]*\n")));
}

TEST_F(CommandLineStart, ALineBreakInAFileNameStaysInsideItsLogLineAndOutOfTheFailedJob) {
  fs::copy_file(file("in/broken.jpg"), file("in/li\nne.jpg"));
  fs::copy_file(file("in/broken.jpg"), file("in/back\\slash.jpg"));  // a job file would read "\\" as "/"
  Run({"/S", file("in/*.jpg"), "/T", file("out/*.pdf"), "/L", file("nl.log"), "/B", file("nl.ZOL")});
  Run({"/S", file("in/mi\nssing.jpg"), "/T", file("out/m.pdf"), "/L", file("nl.log")});
  const std::string log = test::ReadFile(file("nl.log"));
  EXPECT_EQ(std::regex_replace(log, std::regex("\r\n"), "").find('\n'), std::string::npos) << log;
  EXPECT_TRUE(bHasLine(Lines(log), std::regex("Job # 1  Left out of the failed-tasks .* - .*/li\\\\x0Ane.jpg")));
  EXPECT_EQ(Lines(test::ReadFile(file("nl.ZOL"))).size(), 1u) << "broken.jpg alone";
}

TEST_F(CommandLineStart, ARerunOfTheFailedTasksAppendsWhereTheRunAppendedAndLeavesOutANameWithATab) {
  fs::copy_file(file("in/Sunrise.jpg"), file("in/a1.jpg"));
  fs::copy_file(file("in/broken.jpg"), file("in/t\tb.jpg"));
  Run({"/S", file("in/*.jpg"), "/T", file("all.pdf"), "/+", "/I", "Combined", "/Z", "/L", file("z.log"), "/B", file("b.ZOL")});
  for (const char* line : {"Job # 1  PDF was not created.* - .*/t\\\\x09b\\.jpg", "([^\t]*\t){4}[^\t]*/t\\\\x09b\\.jpg\t.*"})
    EXPECT_TRUE(bHasLine(Log("z.log"), std::regex(line))) << line;
  fs::copy_file(file("in/Sunrise.jpg"), file("in/broken.jpg"), fs::copy_options::overwrite_existing);  // mended
  EXPECT_EQ(Run({"/J", file("b.ZOL")}).exitCode, 0) << test::ReadFile(file("b.ZOL"));
  const test::PdfReport pdf = test::InspectPdf(file("all.pdf"));
  EXPECT_TRUE(pdf.checkPassed && pdf.pages == 3 && test::InfoField(pdf, "Title") == "Combined") << pdf.info;
}

// Names read from a folder are names: no "\\" or leading dots in one takes
// an output, a page file, a mirrored folder or a moved input out of the
// folder made for it, on the command line or in a job. A moved input never
// replaces one moved before it: it takes a free name, and the log says which.
TEST_F(CommandLineStart, ListedNamesStayInTheirFoldersAndMovedInputsKeepEachOther) {
  test::WriteFile(home() + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI",
                  "[frmMain]\r\nbMoveOriginalFileAfterProcessing=TRUE\r\nsMoveFileToFolder=" + file("m/done") + "\r\n");
  test::WriteFile(file("victim/thesis.pdf"), "the thesis");
  const std::pair<std::string, std::string> inputs[] = {
      {"..\\..\\escaped.jpg", "Sunrise.jpg"}, {"..\\..\\..\\victim\\thesis.png", "Checkerboard.png"},
      {".\\..\\pages.tif", "Three Pages.tif"}, {"sub\\..\\..\\..\\esc/..\\deep.jpg", "Sunrise.jpg"}};
  fs::create_directories(file("x/y/in/sub\\..\\..\\..\\esc"));
  const std::string job = test::WriteFile(
      file("names.ZOL"), JobLine({"MR", "FALSE^^^^^^2^*^", "1", "C", file("x/y/in/*.*"), "-1", "",
                                  file("a/b/out/*.pdf"), "100", "PDF", ""}));
  const std::vector<std::string> roads[] = {{"/S", file("x/y/in/*.*"), "/T", file("a/b/out/*.pdf"), "/R", "/M", "2"},
                                            {"/J", job}};
  for (std::vector<std::string> args : roads) {
    for (const auto& [name, demo] : inputs) fs::copy_file(kDemoData / demo, file("x/y/in/" + name));
    args.insert(args.end(), {"/L", file("names.log")});
    EXPECT_EQ(Run(args).exitCode, 0) << args[0];
  }
  std::set<std::string> elsewhere;  // files outside the folders of the runs
  for (const auto& e : fs::recursive_directory_iterator(dir_.path())) {
    const std::string at = fs::relative(e.path(), dir_.path()).string();
    if (e.is_regular_file() && !std::regex_match(at, std::regex("(home|in|x/y/in|a/b/out|m/done)/.*")))
      elsewhere.insert(at);
  }
  EXPECT_EQ(elsewhere, (std::set<std::string>{"names.ZOL", "names.log", "opener.sh", "victim/thesis.pdf"}));
  EXPECT_EQ(test::ReadFile(file("victim/thesis.pdf")), "the thesis");
  const std::string log = test::ReadFile(file("names.log"));
  EXPECT_NE(log.find("moved to: " + file("m/done/sub\\..\\..\\..\\esc/..\\deep (2).jpg")), std::string::npos) << log;
}

// A listed name ending in a blank, or in a folder that does, is the file acted
// on: its neighbour is neither deleted nor moved, no folder without the blank
// is made, and the failed-tasks job, read as typed, leaves it out.
TEST_F(CommandLineStart, ListedNamesEndingInABlankAreTheFilesActedOn) {
  for (const std::string& moveTo : {std::string(), file("m")}) {
    test::WriteFile(home() + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI",
                    "[frmMain]\r\n" + (moveTo.empty() ? "bDeleteOriginalFileAfterProcessing=TRUE"
                                                      : "bMoveOriginalFileAfterProcessing=TRUE\r\nsMoveFileToFolder=\" " + moveTo + " \""));
    fs::create_directories(file("b/sub "));
    for (const char* name : {"x.png ", "x.png", "sub /z.png "}) fs::copy_file(kDemoData / "Checkerboard.png", file("b/") + name);
    test::WriteFile(file("b/bad.png "), "not a picture");
    EXPECT_EQ(Run({"/S", file("b/*.png?"), "/T", file("o/*.pdf"), "/R", "/B", file("failed.ZOL")}).exitCode, 1);
    EXPECT_TRUE(fs::exists(file("b/x.png")) && !fs::exists(file("o/sub"))) << moveTo;
    for (const char* converted : {"x.png ", "sub /z.png "}) {
      EXPECT_FALSE(fs::exists(file("b/") + converted)) << converted;
      EXPECT_EQ(fs::exists(file("m/") + converted), !moveTo.empty()) << converted;
    }
    EXPECT_EQ(test::ReadFile(file("failed.ZOL")).find("bad.png"), std::string::npos);
    fs::remove_all(file("b"));
    fs::remove_all(file("o"));
  }
}

// Without /+ a run replaces its output, whatever type it names and whatever
// the input's name says: a TIFF run again gives its pages once.
TEST_F(CommandLineStart, RunAgainWithoutAppendReplacesTheOutput) {
  const std::string tif = file("in/Three Pages.tif");
  fs::copy_file(tif, file("in/scan.jpg"));
  fs::copy_file(tif, file("in/scan?.tif"));  // a "?" in a listed name is part of it
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"/S", file("in/*.tif"), "/T", file("out/each/*.pdf")}, file("out/each/Three Pages.pdf")},
      {{"/S", file("in/scan?.tif"), "/T", file("out/q/*.pdf")}, file("out/q/scan?.pdf")},
      {{"/S", tif, "/T", file("out/f2.pdf"), "/F", "2"}, file("out/f2.pdf")},
      {{"/S", file("in/scan.jpg"), "/T", file("out/named.pdf")}, file("out/named.pdf")},
      {{"/S", tif, "/T", file("out/auto.pdf"), "/F", "-1"}, file("out/auto.pdf")},
      {{"/S", tif, "/T", file("out/f18.pdf"), "/F", "18"}, file("out/f18.pdf")}};
  for (const auto& [args, pdf] : cases) {
    for (int run = 0; run < 2; ++run) EXPECT_EQ(Run(args).exitCode, 0) << pdf;
    EXPECT_EQ(test::InspectPdf(pdf).pages, 3) << pdf;
  }
}

// No folder named by a wildcard; a program ending inside its wait reports
// it; failed-tasks rows that would read back as other files are left out.
TEST_F(CommandLineStart, RunsActOnWhatTheUserNamed) {
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"/S", file("in/*.png"), "/T", file("docs*/*.pdf")}, 2}, {{"/S", file("in/*.png"), "/T", file("o8/*.pdf/")}, 2},
      {{"/S", file("in/*.png"), "/T", file("o11/*")}, 0},       {{"/S", "/bin/sleep", "/T", "1", "/P", "60"}, 0},
      {{"/S", "/bin/true", "/T", "x", "/P", "60", "/E", "0^0^5"}, 0}};
  for (const auto& [args, code] : cases) EXPECT_EQ(Run(args).exitCode, code) << args[3];
  for (const auto& e : fs::recursive_directory_iterator(dir_.path())) EXPECT_EQ(e.path().filename().string().find_first_of("*?"), std::string::npos);
  EXPECT_TRUE(test::PdfIsSound(file("o11/Checkerboard.pdf")));
  for (const char* name : {"q?.jpg", "\xff\xfe.jpg"}) fs::copy_file(file("in/broken.jpg"), file("in/") + name);
  Run({"/S", file("in/*.jpg"), "/T", file("out/*.pdf"), "/L", file("q.log"), "/B", file("q.ZOL")});
  EXPECT_EQ(Lines(test::ReadFile(file("q.ZOL"))).size(), 1u) << "broken.jpg alone";
  const auto log = Log("q.log");
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const auto& l) { return l.find("Left out") != std::string::npos; }), 2);
}

// A failed move and a file-size limit (as a full disk) give the system's
// reason; the appended PDF stays and no empty log is left.
TEST_F(CommandLineStart, FailuresSayWhy) {
  test::WriteFile(file("blocker"), "a file, not a folder");
  test::WriteFile(home() + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI",
                  "[frmMain]\r\nbMoveOriginalFileAfterProcessing=TRUE\r\nsMoveFileToFolder=" + file("blocker/in") + "\r\n");
  EXPECT_EQ(Run({"/S", file("in/Sunrise.jpg"), "/T", file("out/old.pdf"), "/L", file("m.log")}).exitCode, 0);
  EXPECT_NE(test::ReadFile(file("m.log")).find("blocker/in/: Not a directory"), std::string::npos);
  const std::string old = test::ReadFile(file("out/old.pdf"));
  for (const auto& [output, more, reason] : {std::tuple{file("out/new.pdf"), file("r.log"), "r.log (File too large)"},
                                             std::tuple{file("out/old.pdf"), std::string("/+"), "(File too large)"}}) {
    const std::string out = test::RunChild("/bin/sh", {"-c", "{ (trap '' XFSZ; ulimit -f 0; exec \"$0\" /S \"$1\" /T \"$2\" "
                                                             "/L \"$3\" 2>&1); echo \"exit $?\"; } | cat",
                                                       test::TessaprintPath(), file("in/Sunrise.jpg"), output, more},
                                           test::ChildEnvironment(home())).out;
    EXPECT_TRUE(out.find(reason) != std::string::npos && out.ends_with("exit 1\n")) << out;
  }
  EXPECT_FALSE(fs::exists(file("r.log")) || fs::exists(file("out/new.pdf")));
  EXPECT_EQ(test::ReadFile(file("out/old.pdf")), old);
}
}  // namespace
}  // namespace tessa
