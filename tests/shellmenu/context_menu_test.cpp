// The "Convert To PDF" menu over real folders and a real settings file: which
// entries a selection gets, and what each command does.
#include "shellmenu/context_menu.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Records the commands as text lines.
struct RecordedActions : ContextMenuActions {
  std::vector<std::string> calls;
  static std::string List(const std::vector<std::string>& files) {
    std::string s;
    for (const auto& f : files) s += "[" + f + "]";
    return s;
  }
  void ProcessFiles(const std::vector<std::string>& files, const std::string& p, bool o, bool open, bool sub,
                    bool beside, const std::string& lowest) override {
    std::ostringstream s;
    s << "ProcessFiles " << List(files) << " " << p << " " << o << open << sub << beside << " " << lowest;
    calls.push_back(s.str());
  }
  void AppendFiles(const std::vector<std::string>& files, const std::string& p, const std::string& out, bool open,
                   bool sub, long beside) override {
    std::ostringstream s;
    s << "AppendFiles " << List(files) << " " << p << " " << out << " " << open << sub << " " << beside;
    calls.push_back(s.str());
  }
  void ConvertAndAppendFiles(const std::vector<std::string>& files, const std::string& p, bool o,
                             const std::string& out, bool open, bool sub, long beside,
                             const std::string& lowest) override {
    std::ostringstream s;
    s << "ConvertAndAppendFiles " << List(files) << " " << p << " " << o << " " << out << " " << open << sub << " "
      << beside << " " << lowest;
    calls.push_back(s.str());
  }
  void StartTessaprint(const std::vector<std::string>& args) override { calls.push_back("Start " + List(args)); }
  void ShowWarning(const std::string& text, const std::string& title) override {
    calls.push_back("Warning " + title + ": " + text);
  }
};

// The popup's entries as verbs, "-" for a separator, "*" before a checked one.
std::string Shape(const MenuModel& model) {
  std::string s;
  for (const auto& popup : model) {
    for (const auto& e : popup.children) {
      if (!s.empty()) s += " ";
      s += e.kind == MenuEntry::Kind::Separator ? "-" : (e.bChecked ? "*" : "") + e.sVerb;
    }
  }
  return s;
}

class ContextMenuTest : public ::testing::Test {
 protected:
  ContextMenuTest() {
    for (const char* f : {"pics/a.png", "pics/b.JPG", "pics/c.tif", "pics/notes.txt", "pics/README", "report.pdf",
                          "target.pdf"}) {
      WriteFile(dir_.path() / f, "x");
    }
    std::filesystem::create_directories(dir_.path() / "pics/sub");
  }
  std::string P(const std::string& name) const { return dir_.file(name); }
  std::string Ini() const { return dir_.file("settings.INI"); }
  void Set(const char* section, const char* key, const std::string& value) {
    ASSERT_TRUE(WriteIniString(Ini(), section, key, value));
  }

  TempDir dir_;
};

TEST_F(ContextMenuTest, EachSelectionGetsItsEntriesAndIds) {
  const std::string kTail = " - OVERWRITE OPEN OPTIONS - SAVETOORIGINALFOLDER";
  struct Case {
    std::vector<std::string> items;
    bool recent;
    unsigned flags;
    std::string shape;
    int ids;
  } cases[] = {
      {{"pics/a.png"}, false, 0, "CONVERTMULTITOMULTI" + kTail, 5},
      {{"pics/a.png"}, true, 0, "CONVERTMULTITOMULTI APPEND" + kTail, 6},
      {{"report.pdf"}, true, 0, "SOURCE" + kTail, 5},
      {{"pics/sub"}, false, 0,
       "CONVERTMULTITOMULTI CONVERTMULTITOSINGLE - OVERWRITE OPEN OPTIONS - DOSUBFOLDERS SAVETOORIGINALFOLDER", 7},
      {{"pics/a.png", "pics/b.JPG", "pics/c.tif"}, true, 0, "CONVERTMULTITOMULTI CONVERTMULTITOSINGLE APPEND" + kTail,
       7},
      {{"pics/a.png", "pics/b.JPG", "pics/sub"}, true, kCmfExplore, "", 8},
      {{"pics/a.png"}, false, kCmfDefaultOnly, "", 0},
      {{"pics/a.png"}, false, kCmfVerbsOnly | kCmfExplore, "", 0},
      {{"pics/a.png"}, false, 8, "", 0},
      {{"pics/notes.txt", "pics/README"}, false, 0, "", 0},
  };
  for (const Case& c : cases) {
    Set("Files", "RecentPDF", c.recent ? P("target.pdf") : "");
    std::vector<std::string> paths;
    for (const auto& i : c.items) paths.push_back(P(i));
    clsContextMenu menu(Ini());
    ASSERT_TRUE(menu.Initialize(paths));
    MenuModel model(2);  // two entries of the host's own
    const int used = menu.QueryContextMenu(model, 1, 100, 1000, c.flags);
    SCOPED_TRACE(c.items[0] + " flags " + std::to_string(c.flags));
    EXPECT_EQ(used, c.ids);
    EXPECT_EQ(static_cast<int>(menu.Verbs().size()), c.ids);
    if (c.ids == 0) {
      EXPECT_EQ(model.size(), 2u);
      continue;
    }
    ASSERT_EQ(model.size(), 3u);
    EXPECT_EQ(model[1].sCaption, "Convert To PDF");
    if (!c.shape.empty()) EXPECT_EQ(Shape({model[1]}), c.shape);
    EXPECT_EQ(model[1].children.front().iCommandId, 100);
  }
}

TEST_F(ContextMenuTest, CaptionsMarksAndTheLastIdAllowed) {
  Set("Files", "RecentPDF", P("target.pdf"));
  Set("VemoContext", "OptionOverwrite", "8");
  clsContextMenu menu(Ini());
  ASSERT_TRUE(menu.Initialize({P("pics/a.png")}));
  MenuModel model;
  ASSERT_EQ(menu.QueryContextMenu(model, 0, 1, 100, 0), 6);
  const auto& e = model[0].children;
  EXPECT_EQ(e[0].sCaption, "Convert to a single PDF");
  EXPECT_EQ(e[1].sCaption, "Convert and Append to target.pdf");
  EXPECT_EQ(Shape(model), "CONVERTMULTITOMULTI APPEND - *OVERWRITE OPEN OPTIONS - SAVETOORIGINALFOLDER");

  // No id past the host's last one is handed out.
  MenuModel cut;
  EXPECT_EQ(menu.QueryContextMenu(cut, 0, 1, 3, 0), 3);
  EXPECT_EQ(menu.Verbs().size(), 3u);
}

TEST_F(ContextMenuTest, SelectionKeepsFoldersAndAcceptedFilesOnly) {
  MenuSelection s;
  ASSERT_TRUE(s.Initialize({P("pics/notes.txt"), P("pics/b.JPG"), P("pics/sub"), P("pics/README"), ""}));
  EXPECT_EQ(s.FileCount(), 2);
  EXPECT_EQ(s.FileName(0), P("pics/b.JPG"));
  EXPECT_EQ(s.FileName(1), P("pics/sub") + "/");
  EXPECT_EQ(s.FileNameShort(0), "b.JPG");
  EXPECT_EQ(s.FileNameShort(1), "");
  EXPECT_TRUE(s.bAtLeastOneFolderSelected());
  EXPECT_EQ(s.FileName(2), "");

  for (const char* name : {"x.ico", "x.Jpeg", "x.TIFF", "x.wbmp", "x.cut", "x.Pdf", "x.tgz"}) {
    EXPECT_TRUE(bIsAcceptedFileName(name)) << name;
  }
  for (const char* name : {"x.txt", "x.pdf.bak", "README", "x.jp g", "dir.jpg/x"}) {
    EXPECT_FALSE(bIsAcceptedFileName(name)) << name;
  }
  EXPECT_TRUE(s.Initialize(std::vector<std::string>(255, P("pics/a.png"))));
  EXPECT_EQ(s.FileCount(), 255);
  EXPECT_FALSE(s.Initialize(std::vector<std::string>(256, P("pics/a.png"))));
  EXPECT_EQ(s.FileCount(), 0);
}

TEST_F(ContextMenuTest, OptionTogglesWriteAllFourKeysInOrder) {
  RecordedActions actions;
  clsContextMenu first(Ini());
  ASSERT_TRUE(first.Initialize({P("pics/sub")}));
  EXPECT_TRUE(first.InvokeVerb("DOSUBFOLDERS", actions));
  EXPECT_NE(ReadFile(Ini()).find("[VemoContext]\nOption_DoSubfolders=8\nOption_SaveToOriginalFolder=0\n"
                                 "OptionOverwrite=0\nOptionOpenFile=0"),
            std::string::npos)
      << ReadFile(Ini());

  // The value toggled is the one the menu showed.
  Set("VemoContext", "OptionOverwrite", "8");
  clsContextMenu menu(Ini());
  ASSERT_TRUE(menu.Initialize({P("pics/sub")}));
  MenuModel model;
  menu.QueryContextMenu(model, 0, 1, 100, 0);
  menu.InvokeCommand(2, actions);  // "Always Overwrite"
  EXPECT_EQ(ReadIniString(Ini(), "VemoContext", "OptionOverwrite", ""), "0");
  EXPECT_EQ(ReadIniString(Ini(), "VemoContext", "Option_DoSubfolders", ""), "8");
  menu.InvokeCommand(99, actions);  // outside the list: nothing
  EXPECT_FALSE(menu.InvokeVerb("NOSUCHVERB", actions));
  EXPECT_TRUE(actions.calls.empty());
}

TEST_F(ContextMenuTest, CommandsHandTheSelectionOnAndKeepTheAppendTarget) {
  RecordedActions actions;
  clsContextMenu one(Ini());
  ASSERT_TRUE(one.Initialize({P("pics/a.png")}));
  one.InvokeVerb("CONVERTMULTITOMULTI", actions);
  EXPECT_EQ(actions.calls.back(), "ProcessFiles [][" + P("pics/a.png") + "] ONVERTMULTITOMULTI 0000 " + P("pics/a.png"));
  // The single PDF is where it was written, and later appends go to it.
  EXPECT_EQ(ReadIniString(Ini(), "Files", "RecentPDF", ""), P("pics/Vemo-Output/a.PDF"));
  Set("VemoContext", "Option_SaveToOriginalFolder", "8");
  clsContextMenu beside(Ini());
  ASSERT_TRUE(beside.Initialize({P("pics/a.png")}));
  beside.InvokeVerb("CONVERTMULTITOMULTI", actions);
  EXPECT_EQ(ReadIniString(Ini(), "Files", "RecentPDF", ""), P("pics/a.PDF"));

  // A folder converted on its own names no single PDF.
  clsContextMenu folder(Ini());
  ASSERT_TRUE(folder.Initialize({P("pics/sub")}));
  folder.InvokeVerb("CONVERTMULTITOMULTI", actions);
  EXPECT_EQ(ReadIniString(Ini(), "Files", "RecentPDF", ""), P("pics/a.PDF"));

  // The destination keeps its name's letter case.
  clsContextMenu pdf(Ini());
  ASSERT_TRUE(pdf.Initialize({P("report.pdf")}));
  pdf.InvokeVerb("SOURCE", actions);
  EXPECT_EQ(ReadIniString(Ini(), "Files", "RecentPDF", ""), P("report.pdf"));

  clsContextMenu two(Ini());
  ASSERT_TRUE(two.Initialize({P("pics/a.png"), P("pics/sub")}));
  two.InvokeVerb("CONVERTMULTITOSINGLE", actions);
  const std::string list = "[][" + P("pics/a.png") + "][" + P("pics/sub") + "/]";
  const std::string t = "\" /T \"" + P("report.pdf") + "\" /F -1 /+";
  EXPECT_EQ(actions.calls.back(),
            "ConvertAndAppendFiles " + list + " " + t + " 0 " + P("report.pdf") + " 00 8 " + P("pics/a.png"));
  two.InvokeVerb("APPEND", actions);
  EXPECT_EQ(actions.calls.back(), "AppendFiles " + list + " " + t + " " + P("report.pdf") + " 00 8");
  two.InvokeVerb("OPTIONS", actions);
  EXPECT_EQ(actions.calls.back(), "Start [/0][/S][" + P("pics/a.png") + "]");

  // A vanished target is reported and forgotten; nothing is handed on.
  std::filesystem::remove(P("report.pdf"));
  const auto before = actions.calls.size();
  two.InvokeVerb("APPEND", actions);
  ASSERT_EQ(actions.calls.size(), before + 1);
  EXPECT_EQ(actions.calls.back(), "Warning File Missing: File " + P("report.pdf") +
                                      " is no longer there. Please select another file to append to.");
  EXPECT_EQ(ReadIniString(Ini(), "Files", "RecentPDF", "unset"), "");
}

}  // namespace
}  // namespace tessa
