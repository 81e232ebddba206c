#include "engine/task/validation.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/program_modes.h"
#include "engine/task/caret_records.h"
#include "engine/item_editor_fields.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;
using test::ScriptedUserInterface;
using test::TempDir;
using test::WriteFile;

// A folder under /proc can be neither created nor written, even by root.
const std::string kUnwritable = "/proc/tessa-no-such-folder";

// The editor panel's two fields, recording where the focus went.
struct FakePanel : ItemEditorFields {
  std::string input, output;
  bool inputVisible = true, outputVisible = true;
  std::string focused;
  std::string InputText() const override { return input; }
  void SetInputText(const std::string& t) override { input = t; }
  std::string OutputText() const override { return output; }
  void SetOutputText(const std::string& t) override { output = t; }
  bool InputVisible() const override { return inputVisible; }
  bool OutputVisible() const override { return outputVisible; }
  void FocusInput() override { focused = "input"; }
  void FocusOutput() override { focused = "output"; }
};

struct PanelView : MainFormView {
  FakePanel panel;
  ItemEditorFields* EditorFields() override { return &panel; }
};

class Validation : public ::testing::Test {
 protected:
  Validation() {
    WriteFile(dir.path() / "img" / "a.tif", "tif");
    WriteFile(dir.path() / "img" / "photo.JPEG", "jpeg");
    WriteFile(dir.path() / "img" / "b.png", "png");
    fs::create_directories(dir.path() / "out");
  }
  ~Validation() override { bCommandLineMode = false; }

  // A conversion task as the window or the command line builds it.
  clsConversionOptions Task(const std::string& in, const std::string& out, bool append = false, int32_t inType = -1) {
    clsConversionOptions t;
    t.sOriginalFile = in;
    t.sTargetFile = out;
    t.lOriginalFileType = inType;
    t.sExtraParams = BuildAdvancedOptions(append, "", "", "", "", "", 0, "*");
    return t;
  }

  clsConversionOptions Validated(clsConversionOptions t) {
    ValidateConversionItem(form, t);
    return t;
  }

  std::string P(const std::string& rel) const { return dir.file(rel); }

  TempDir dir;
  MainForm form;
};

TEST_F(Validation, SingleInputOutputsAreCompleted) {
  auto t = Validated(Task(P("img/a.tif"), P("out/x.pdf")));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_EQ(t.sTargetFile, P("out/x.pdf"));

  EXPECT_EQ(Validated(Task(P("img/a.tif"), P("out/"))).sTargetFile, P("out/pdf.pdf"));
  EXPECT_EQ(Validated(Task(P("img/a.tif"), P("out"))).sTargetFile, P("out/PDF.pdf"));
  EXPECT_EQ(Validated(Task(P("img/a.tif"), P("out/result"))).sTargetFile, P("out/result.pdf"));
  EXPECT_EQ(Validated(Task(P("img/a.tif"), P("out/result."))).sTargetFile, P("out/result.pdf"));
  // A dot in a folder name does not count as the output's extension.
  fs::create_directories(dir.path() / ".hidden");
  EXPECT_EQ(Validated(Task(P("img/a.tif"), P(".hidden/result"))).sTargetFile, P(".hidden/result.pdf"));
}

TEST_F(Validation, SingleInputCreatesMissingOutputFolders) {
  auto t = Validated(Task(P("img/a.tif"), P("new/deep/x.pdf")));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "new" / "deep"));
  // Paths that only differed by blanks keep the text as typed; a completed
  // output takes its new form.
  t = Validated(Task("  " + P("img/a.tif") + " ", " " + P("out/y.pdf") + "  "));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_EQ(t.sOriginalFile, "  " + P("img/a.tif") + " ");
  EXPECT_EQ(t.sTargetFile, " " + P("out/y.pdf") + "  ");
  t = Validated(Task(" " + P("img/a.tif"), " " + P("out/y")));
  EXPECT_EQ(t.sTargetFile, P("out/y.pdf"));
}

TEST_F(Validation, MaskInputOutputsAreCompleted) {
  EXPECT_EQ(Validated(Task(P("img/*.tif"), P("out"))).sTargetFile, P("out/*.pdf"));
  EXPECT_EQ(Validated(Task(P("img/*.tif"), P("out"), true)).sTargetFile, P("out/PDF.pdf"));
  EXPECT_EQ(Validated(Task(P("img/*.tif"), P("out/"))).sTargetFile, P("out/*.pdf"));
  EXPECT_EQ(Validated(Task(P("img/*.tif"), P("out/"), true)).sTargetFile, P("out/pdf.pdf"));
  EXPECT_EQ(Validated(Task(P("img/*.tif"), P("out/all"), true)).sTargetFile, P("out/all.pdf"));
  auto t = Validated(Task(P("img/*.tif"), P("out/*.pdf"), true));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_EQ(t.sTargetFile, P("out/Append.pdf"));
  // A mask output creates its folder.
  t = Validated(Task(P("img/*.tif"), P("made/here/*.pdf")));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "made" / "here"));
}

TEST_F(Validation, CodesAndTheirCommandLineTexts) {
  struct Case {
    clsConversionOptions task;
    int32_t code;
    std::string text;
  };
  auto methodTwo = Task(P("img/a.tif"), P("out/x.pdf"));
  methodTwo.lConversionMethod = 2;
  auto noOptions = Task(P("img/a.tif"), P("out/x.pdf"));
  noOptions.sExtraParams = "  ";
  auto jobMissing = Task("", "");
  jobMissing.sCLBatchJobFile = P("none.zol");
  clsConversionOptions process7;
  process7.sActionToDo = "S";
  process7.lSpecialProcess = 7;
  clsConversionOptions program;
  program.sActionToDo = "S";
  program.lSpecialProcess = 60;
  program.sOriginalFile = "/usr/bin/*";
  const std::string nl = "\r\n";
  const Case cases[] = {
      {Task(P("nope/*.tif"), P("out")), -1, "Input Folder" + nl + P("nope") + nl + "does not exist."},
      {Task(P("img/*.tif"), "*.pdf"), -3, "Output Folder" + nl + nl + "does not exist."},
      {Task(P("img/z.tif"), P("out/x.pdf")), -4, "Input File" + nl + P("img/z.tif") + nl + "does not exist."},
      {Task(P("img/a.tif"), P("out/*.pdf")), -5,
       "Output File" + nl + P("out/*.pdf") + nl + "cannot have a wildcard (*) in it unless the Input file does."},
      {Task(P("img/a.tif"), "x.pdf"), -6, "Output Folder" + nl + nl + "does not exist." + nl + "Create it?"},
      {methodTwo, -7, "Invalid Output File type specified (/C# switch)."},
      {jobMissing, -8, "Conversion Job File (*.ZOL) specified in the command line (/J) does not exist."},
      {noOptions, -10, "The advanced PDF options of the task are missing."},
      {Task(P("img/*.tif"), P("out/one.pdf")), -14,
       "You are attempting to convert numerous 'Input Files' to a single 'Output File'." + nl + P("out/one.pdf") + nl +
           "Give the 'Output File' a wildcard (*), name an existing folder, or append (/+)."},
      {process7, -101, "Invalid Special Process Identifier specified"},
      {program, -102, "Invalid input file format/type for the Special Process specified."},
  };
  for (const Case& c : cases) {
    auto t = Validated(c.task);
    EXPECT_EQ(t.lErr, c.code);
    EXPECT_EQ(CommandLineItemErrorText(t), c.text) << c.code;
  }
}

TEST_F(Validation, UnwritableOutputWinsOverEarlierCodes) {
  auto t = Validated(Task(P("img/z.tif"), kUnwritable + "/x.pdf"));
  EXPECT_EQ(t.lErr, kOutputNotWriteable);
  const std::string text = CommandLineItemErrorText(t);
  EXPECT_EQ(text.rfind("Output Folder: ", 0), 0u) << text;
  EXPECT_NE(text.find("\r\n" + kUnwritable + "/x.pdf"), std::string::npos) << text;
  // Started programs are not probed.
  clsConversionOptions program;
  program.sActionToDo = "S";
  program.lSpecialProcess = 60;
  program.sOriginalFile = "/bin/true";
  program.sTargetFile = kUnwritable;
  EXPECT_EQ(Validated(program).lErr, 0);
}

TEST_F(Validation, MacrosSurviveWhenNothingButBlanksChanged) {
  test::ScopedEnv config("XDG_CONFIG_HOME", P("img"));
  auto t = Validated(Task("%APPDATA%/a.tif", " %APPDATA%/x.pdf"));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_EQ(t.sOriginalFile, "%APPDATA%/a.tif");
  EXPECT_EQ(t.sTargetFile, " %APPDATA%/x.pdf");
  // A completed output keeps its expanded form.
  t = Validated(Task("%APPDATA%/a.tif", "%APPDATA%/x"));
  EXPECT_EQ(t.sOriginalFile, "%APPDATA%/a.tif");
  EXPECT_EQ(t.sTargetFile, P("img/x.pdf"));
}

TEST_F(Validation, SpecialProcessChecks) {
  clsConversionOptions t;
  t.sActionToDo = "S";
  t.lSpecialProcess = 60;
  t.lOriginalFileType = 13;
  t.lTargetFileType = 100;
  t.sOriginalFile = "/bin/true";
  t = Validated(t);
  EXPECT_EQ(t.lErr, 0);
  EXPECT_EQ(t.lTargetFileType, 13);
  // Only the upper-case letter makes a special process.
  auto lower = Task(P("img/a.tif"), P("out/x.pdf"));
  lower.sActionToDo = "s";
  lower.lSpecialProcess = 7;
  EXPECT_EQ(Validated(lower).lErr, 0);
  // Options for the file manager's menu pass unchecked.
  auto options = Task("", "");
  options.bShellExtenderOptionsChange = true;
  EXPECT_EQ(Validated(options).lErr, 0);
  // A job file that exists ends the checks.
  auto job = Task("", "");
  job.sCLBatchJobFile = WriteFile(dir.path() / "job.zol", "");
  EXPECT_EQ(Validated(job).lErr, 0);
}

TEST_F(Validation, TypeMismatchOnlyInTheWindow) {
  EXPECT_EQ(Validated(Task(P("img/photo.JPEG"), P("out/x.pdf"), false, 2)).lErr, 0);
  EXPECT_EQ(Validated(Task(P("img/a.tif"), P("out/x.pdf"), false, 18)).lErr, 0);
  EXPECT_EQ(Validated(Task(P("img/b.png"), P("out/x.pdf"), false, -1)).lErr, 0);
  auto t = Validated(Task(P("img/b.png"), P("out/x"), false, 2));
  EXPECT_EQ(t.lErr, kInputTypeMismatch);
  EXPECT_EQ(t.sTargetFile, P("out/x.pdf"));  // the checks went on
  form.frmTypeMatchNotification.bDontShowFileMismatchAgain = true;
  EXPECT_EQ(Validated(Task(P("img/b.png"), P("out/x.pdf"), false, 2)).lErr, 0);
  form.frmTypeMatchNotification.bDontShowFileMismatchAgain = false;
  bCommandLineMode = true;
  EXPECT_EQ(Validated(Task(P("img/b.png"), P("out/x.pdf"), false, 2)).lErr, 0);
}

TEST_F(Validation, PanelFieldsAreTrimmedAndCompleted) {
  PanelView view;
  form.SetView(&view);
  view.panel.input = "  " + P("img/*.tif") + " ";
  view.panel.output = " " + P("out/*.pdf");
  auto t = Validated(Task(P("img/*.tif"), P("out/*.pdf"), true));
  EXPECT_EQ(view.panel.input, P("img/*.tif"));
  EXPECT_EQ(view.panel.output, P("out/Append.pdf"));
  view.panel.output = P("out");
  t = Validated(Task(P("img/*.tif"), P("out")));
  EXPECT_EQ(view.panel.output, P("out/*.pdf"));
  form.SetView(nullptr);
}

TEST_F(Validation, WindowBoxesForPlainFailures) {
  ScriptedUserInterface ui;
  PanelView view;
  form.SetView(&view);

  auto t = Validated(Task(P("img/a.tif"), P("out/*.pdf")));
  EXPECT_FALSE(ShowConversionItemError(form, t));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].prompt, "Output File\n\n" + P("out/*.pdf") +
                                    "\n\ncannot have a wildcard (*) in it unless the Input file does.");
  EXPECT_EQ(ui.boxes[0].style, vbInformation);
  EXPECT_EQ(ui.boxes[0].title, "Error");
  EXPECT_EQ(view.panel.focused, "output");

  ui.boxes.clear();
  t = Validated(Task(P("nope/*.tif"), P("out")));
  EXPECT_FALSE(ShowConversionItemError(form, t));
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].prompt, "Input Folder\n\n" + P("nope") + "\n\ndoes not exist.");
  EXPECT_EQ(ui.boxes[1].prompt, "Unable to add/update: \n\nInput Folder\n\n" + P("nope") + "\n\ndoes not exist.");
  EXPECT_EQ(view.panel.focused, "input");

  ui.boxes.clear();
  t = Validated(Task("", P("out/x.pdf")));
  EXPECT_FALSE(ShowConversionItemError(form, t));
  EXPECT_EQ(ui.boxes.at(0).prompt, "Unable to add/update: \n\nInput File has not been specified.");

  ui.boxes.clear();
  t = Validated(Task(P("img/*.tif"), P("out/one.pdf")));
  ui.Answer(vbNo);
  EXPECT_FALSE(ShowConversionItemError(form, t));
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].style, vbYesNo + vbInformation);
  EXPECT_EQ(ui.boxes[1].prompt,
            "Please change the 'Output File' to have a wildcard (*). For example \"C:\\output\\*.pdf\"");
  EXPECT_EQ(ui.boxes[1].title, "");

  ui.boxes.clear();
  t = Validated(Task("", ""));
  t.lErr = kNoPdfOptions;
  EXPECT_FALSE(ShowConversionItemError(form, t));
  EXPECT_EQ(ui.boxes.at(0).prompt, "Unable to add/update: \n\n");
  form.SetView(nullptr);
}

TEST_F(Validation, WindowBoxesOfSingleTexts) {
  ScriptedUserInterface ui;
  const std::pair<int32_t, std::string> cases[] = {
      {kInvalidOutputType, "Invalid Output File type specified"},
      {kInvalidSpecialProcess, "Invalid Special Process Identifier specified"},
      {kSpecialProcessWildcard, "Invalid input file format/type for the Special Process specified."},
      {kJobFileMissing, "Unable to add/update: \n\n"},
  };
  for (const auto& [code, text] : cases) {
    ui.boxes.clear();
    auto t = Task(P("img/a.tif"), P("out/x.pdf"));
    t.lErr = code;
    EXPECT_FALSE(ShowConversionItemError(form, t));
    ASSERT_EQ(ui.boxes.size(), 1u) << code;
    EXPECT_EQ(ui.boxes[0].prompt, text);
    EXPECT_EQ(ui.boxes[0].style, vbInformation);
    EXPECT_EQ(ui.boxes[0].title, "Error");
  }
  // A mask output whose folder is missing: asked once, No keeps the code.
  ui.boxes.clear();
  auto t = Task(P("img/*.tif"), P("gone/*.pdf"));
  t.lErr = kMaskOutputFolderMissing;
  EXPECT_FALSE(ShowConversionItemError(form, t));
  EXPECT_EQ(ui.boxes.at(0).prompt, "Output Folder\n\n" + P("gone/") + "\n\ndoes not exist. Create it?");
  EXPECT_EQ(ui.boxes[0].style, vbYesNo + vbInformation);
  EXPECT_FALSE(fs::exists(dir.path() / "gone"));
  // Yes makes it, and the task passes its second check.
  ui.Answer(vbYes);
  EXPECT_TRUE(ShowConversionItemError(form, t));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "gone"));
}

TEST_F(Validation, MissingInputMayBeAddedAnyway) {
  ScriptedUserInterface ui;
  auto t = Validated(Task(P("img/z.tif"), P("out/x.pdf")));
  ui.Answer(vbYes);
  EXPECT_TRUE(ShowConversionItemError(form, t));
  EXPECT_EQ(t.lErr, kInputFileMissing);
  EXPECT_NE(ui.boxes.at(0).prompt.find("does not exist.\n\nAdd anyway?"), std::string::npos);
  ui.Answer(vbNo);
  EXPECT_FALSE(ShowConversionItemError(form, t));
}

TEST_F(Validation, TypeMismatchNoticeClearsTheCodeWhenContinued) {
  ScriptedUserInterface ui;
  auto t = Validated(Task(P("img/b.png"), P("out/x.pdf"), false, 2));
  ASSERT_EQ(t.lErr, kInputTypeMismatch);
  ui.Answer(vbNo);
  EXPECT_FALSE(ShowConversionItemError(form, t));
  EXPECT_EQ(t.lErr, kInputTypeMismatch);
  EXPECT_EQ(ui.boxes.at(0).title, "File Type Mismatch");
  ui.Answer(vbYes);
  EXPECT_FALSE(ShowConversionItemError(form, t));
  EXPECT_EQ(t.lErr, 0);

  // The window's own dialog answers instead of a box.
  struct DialogView : MainFormView {
    bool ShowTypeMismatchDialog(TypeMismatchNotice& n) override {
      n.bDontShowFileMismatchAgain = true;
      n.bContinueWithMismatchedTypes = true;
      return true;
    }
  } dialogView;
  form.SetView(&dialogView);
  ui.boxes.clear();
  t = Validated(Task(P("img/b.png"), P("out/x.pdf"), false, 2));
  EXPECT_FALSE(ShowConversionItemError(form, t));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(form.frmTypeMatchNotification.bDontShowFileMismatchAgain);
  form.SetView(nullptr);
}

TEST_F(Validation, AcceptedFolderRemedyIsCheckedAgain) {
  ScriptedUserInterface ui;
  // The folder cannot be made: Yes no longer lets the task in.
  auto t = Validated(Task(P("img/*.tif"), "*.pdf"));
  ASSERT_EQ(t.lErr, kMaskOutputFolderMissing);
  t.sTargetFile = kUnwritable + "/*.pdf";  // as if the output had been typed there
  ui.Answer(vbYes);
  EXPECT_FALSE(ShowConversionItemError(form, t));
  EXPECT_NE(t.lErr, 0);

  // A folder that can be made after all: Yes creates it and the task passes.
  ui.boxes.clear();
  t = Validated(Task(P("img/a.tif"), "x.pdf"));
  ASSERT_EQ(t.lErr, kOutputFolderMissing);
  t.sTargetFile = P("later/x.pdf");
  ui.Answer(vbYes);
  EXPECT_TRUE(ShowConversionItemError(form, t));
  EXPECT_EQ(t.lErr, 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "later"));
  EXPECT_EQ(ui.boxes.at(0).prompt,
            "Output Folder\n\n" + P("later") + "\n\ndoes not exist. Create it?\n\nCreate it?");

  // No blank folder to create: the box says the output is missing.
  ui.boxes.clear();
  t = Validated(Task(P("img/a.tif"), "x.pdf"));
  EXPECT_FALSE(ShowConversionItemError(form, t));
  EXPECT_EQ(ui.boxes.at(0).prompt, "Output file not specified. Use a wildcard to specify whole folder.");
}

TEST_F(Validation, FolderRemedyCreatesTheExpandedFolderNotTheMacroText) {
  ScriptedUserInterface ui;
  test::ScopedEnv config("XDG_CONFIG_HOME", P("config"));
  WriteFile(dir.path() / "config" / "taken", "a file where a folder should go");
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  auto t = Validated(Task(P("img/a.tif"), "%APPDATA%/taken/sub/x.pdf"));
  const int32_t code = t.lErr;
  ui.Answer(vbYes);
  const bool used = ShowConversionItemError(form, t);
  fs::current_path(before);
  ASSERT_EQ(code, kOutputFolderMissing);
  EXPECT_EQ(ui.boxes.at(0).prompt, "Output Folder\n\n%APPDATA%/taken/sub\n\ndoes not exist. Create it?\n\nCreate it?");
  EXPECT_FALSE(used);
  EXPECT_FALSE(fs::exists(dir.path() / "%APPDATA%"));
}

TEST_F(Validation, UnwritableOutputOffersTheRecommendedFolder) {
  ScriptedUserInterface ui;
  PanelView view;
  form.SetView(&view);
  auto t = Validated(Task(P("img/a.tif"), kUnwritable + "/x.pdf"));
  ASSERT_EQ(t.lErr, kOutputNotWriteable);
  EXPECT_FALSE(ShowConversionItemError(form, t));
  ASSERT_FALSE(ui.boxes.empty());
  EXPECT_NE(ui.boxes[0].prompt.find(kUnwritable + "/x.pdf"), std::string::npos);
  EXPECT_EQ(view.panel.focused, "output");
  form.SetView(nullptr);
}

TEST_F(Validation, LogWritesTheTextAndShowsItWhenVerbose) {
  ScriptedUserInterface ui;
  auto t = Validated(Task(P("img/*.tif"), P("out/one.pdf")));
  t.sLogFile = P("log.txt");
  t.bVerbose = true;
  LogCommandLineItemError(t);
  EXPECT_FALSE(t.sErr.empty());
  EXPECT_NE(test::ReadFile(P("log.txt")).find(t.sErr), std::string::npos);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].prompt, t.sErr);
}

}  // namespace
}  // namespace tessa
