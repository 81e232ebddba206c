// The context helper's rules that need no bus: folder expansion, output
// names, command and result texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "contexthelper/helper_paths.h"
#include "contexthelper/helper_texts.h"
#include "contexthelper/work_list.h"
#include "support/temp_dir.h"

namespace tessa::ferrowick {
namespace {

namespace fs = std::filesystem;

TEST(HelperRules, FoldersGiveTheirImagesInAnyCaseAndSkipHiddenFolders) {
  test::TempDir dir;
  const std::string root = dir.path().string();
  for (const char* name : {"b.JPG", "A.Tiff", "c.wbmp", "notes.txt", "README", "sub/d.PnG", "sub/deep/e.psd",
                           ".hidden/f.jpg", "sub/.cache/g.jpg", "other.pdf"})
    test::WriteFile(dir.path() / name, "x");
  fs::create_directory_symlink(root + "/sub", root + "/sub/loop");

  EXPECT_EQ(BuildWorkList({"", root, root + "/notes.txt", root + "/missing.jpg"}, true),
            (std::vector<std::string>{root + "/A.Tiff", root + "/b.JPG", root + "/c.wbmp", root + "/sub/d.PnG",
                                      root + "/sub/deep/e.psd", root + "/notes.txt", root + "/missing.jpg"}));
  EXPECT_EQ(BuildWorkList({root + "/b.JPG", root + "/sub/"}, false), (std::vector<std::string>{root + "/sub/d.PnG"}))
      << "element 0 is not used; without subfolders only the folder's own images";
  EXPECT_TRUE(BuildWorkList({""}, true).empty());
}

TEST(HelperRules, OutputNamesMirrorTheRootOrStayBesideTheSource) {
  test::TempDir dir;
  const std::string root = dir.path().string();
  for (const char* name : {"pics/a.jpg", "pics/x/y/b.png", "elsewhere/c.gif"}) test::WriteFile(dir.path() / name, "x");
  const std::string pics = root + "/pics/";
  EXPECT_EQ(GetFolderOf(root + "/pics"), pics);
  EXPECT_EQ(GetFolderOf(pics + "a.jpg"), pics);
  EXPECT_EQ(GetFolderOf(root + "/missing/a.jpg"), "");
  EXPECT_EQ(GetFolderOf("/"), "");

  struct Case {
    std::string input, root;
    bool beside;
    std::string output;
  } cases[] = {
      {pics + "a.jpg", pics, false, pics + "Vemo-Output/a.PDF"},
      {pics + "x/y/b.png", pics, false, pics + "Vemo-Output/x/y/b.PDF"},
      {pics + "x/y/b.png", pics, true, pics + "x/y/b.PDF"},
      {root + "/elsewhere/c.gif", pics, false, root + "/elsewhere/Vemo-Output/c.PDF"},
      {pics + "a.jpg", "", false, pics + "Vemo-Output/a.PDF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PerFileOutputName(c.input, c.root, c.beside), c.output) << c.input;
    EXPECT_TRUE(fs::is_directory(fs::path(c.output).parent_path())) << c.output;
  }
}

TEST(HelperRules, CommandsAndResultTexts) {
  EXPECT_EQ(BuildHelperCommand("/p/a b.jpg", "/p/o.PDF", false),
            "/S \"/p/a b.jpg\" /T \"/p/o.PDF\" /F -1 /bUsingShellExtender");
  EXPECT_EQ(BuildHelperCommand("/p/a.jpg", "/p/o.PDF", true), "/S \"/p/a.jpg\" /T \"/p/o.PDF\" /F -1 /+ /bUsingShellExtender");

  using R = WorkRoutine;
  struct Case {
    int code;
    std::string convert, append, single;
  } cases[] = {
      {0, "", "", ""},
      {-6, "Unknown Error #:-6", ", Unknown Error: -6", "Unknown error occurred. Try 'Tessalumen' user interface."},
      {-5, "File is corrupt, or not a valid image file.", "File is corrupt, or not a valid image file.",
       "File is corrupt, or not a valid image file."},
      {-3, "Missing command", ", Missing command", ", Missing command"},
      {-2, "Incorrect command", ", Incorrect command", ", Incorrect command"},
      {-100, "Unknown Error #:-100", ", Unknown Error: -100", ", Unknown Error: -100"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResultText(R::kConvert, c.code), c.convert) << c.code;
    EXPECT_EQ(ResultText(R::kAppend, c.code), c.append) << c.code;
    EXPECT_EQ(ResultText(R::kConvertAndAppend, c.code), c.single) << c.code;
  }
  EXPECT_EQ(FileErrorLine("/p/a.jpg", "Missing command"), "Error: /p/a.jpg - Missing command");
}

}  // namespace
}  // namespace tessa::ferrowick
