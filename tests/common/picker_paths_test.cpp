#include <gtest/gtest.h>

#include "common/file_filter.h"
#include "common/picker_paths.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using Filters = std::vector<std::string>;

TEST(FileFilter, ConvertsBothWays) {
  const struct {
    std::string pairs;
    Filters dialog;
    std::string back;
  } cases[] = {
      {"Log File(*.LOG)|*.LOG|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*",
       {"Log File (*.LOG)", "Text Files (*.TXT)", "All Files (*)"},
       "Log File|*.LOG|Text Files|*.TXT|All Files|*"},
      {"Images|*.jpg;*.JPEG; *.png", {"Images (*.jpg *.JPEG *.png)"}, "Images|*.jpg;*.JPEG;*.png"},
      {"ZOL Job File (*.zol)|*.zol", {"ZOL Job File (*.zol)"}, "ZOL Job File|*.zol"},
      {"Anything", {"Anything (*)"}, "Anything|*"},
      {"", {}, ""},
  };
  for (const auto& c : cases) {
    const Filters dialog = DialogFiltersFromPairs(c.pairs);
    EXPECT_EQ(dialog, c.dialog) << c.pairs;
    EXPECT_EQ(PairsFromDialogFilters(dialog), c.back) << c.pairs;
  }
}

TEST(FileFilter, IndexMapsBothWays) {
  const Filters f = DialogFiltersFromPairs("A|*.a|B|*.b|C|*.c");
  EXPECT_EQ(DialogFilterAt(f, 2), "B (*.b)");
  EXPECT_EQ(DialogFilterAt(f, 0), "A (*.a)");  // outside: the first
  EXPECT_EQ(DialogFilterAt(f, 9), "A (*.a)");
  EXPECT_EQ(DialogFilterAt({}, 1), "");
  EXPECT_EQ(FilterIndexOf(f, "C (*.c)"), 3);
  EXPECT_EQ(FilterIndexOf(f, "D (*.d)"), 0);
}

TEST(PickerPaths, NearestExistingPathAndBrowsedFolders) {
  test::TempDir dir;
  const std::string root = dir.path().string();
  std::filesystem::create_directories(root + "/a");
  std::string existing = "  " + root + "/a/file.pdf ";
  EXPECT_EQ(GetNearestExistingPath(existing), root + "/a/");
  EXPECT_EQ(existing, root + "/a/file.pdf");  // trimmed in place
  std::string gone = root + "/a/deleted/deeper/file.pdf";
  EXPECT_EQ(GetNearestExistingPath(gone), root + "/a/file.pdf");
  std::string relative = "nofolder.pdf";
  EXPECT_EQ(GetNearestExistingPath(relative), "nofolder.pdf");

  EXPECT_EQ(BrowsedFolderText("/"), "/");  // the root is not a cancel
  EXPECT_EQ(BrowsedFolderText("/home/u/"), "/home/u");
  EXPECT_EQ(BrowsedFolderText(""), "");
  std::string start = "/scans/*/in\\";
  EXPECT_EQ(BrowseStartFolder(start), "/scans/A/in");
  EXPECT_EQ(start, "/scans/A/in\\");
}

}  // namespace
}  // namespace tessa
