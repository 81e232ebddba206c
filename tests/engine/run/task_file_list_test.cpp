#include "engine/run/task_file_list.h"

#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "support/forked_children.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::TempDir;
using test::WriteFile;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(TaskFileList, SortedWithoutRegardToCase) {
  TempDir t;
  const std::string r = t.path().string();
  WriteFile(t.path() / "B.tif", "");
  WriteFile(t.path() / "a.tif", "");
  WriteFile(t.path() / "C.tif", "");
  WriteFile(t.path() / "sub" / "A2.TIF", "");
  clsConversionOptions task;
  Strings files;
  ASSERT_TRUE(BuildFileListForItem(task, r + "/*.tif", files, true, true));
  EXPECT_EQ(files, (Strings{r + "/a.tif", r + "/B.tif", r + "/C.tif"}));

  task.bDoSubfolders = true;
  files.clear();
  ASSERT_TRUE(BuildFileListForItem(task, r + "/*.TIF", files, true, true));
  EXPECT_EQ(files, (Strings{r + "/a.tif", r + "/B.tif", r + "/C.tif", r + "/sub/A2.TIF"}));

  // One file names itself; a mask matching nothing is an empty list, not a failure.
  files.clear();
  ASSERT_TRUE(BuildFileListForItem(task, r + "/B.tif", files, true, true));
  EXPECT_EQ(files, (Strings{r + "/B.tif"}));
  files.clear();
  EXPECT_TRUE(BuildFileListForItem(task, r + "/*.png", files, true, false));
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(task.sErr, "");
}

TEST(TaskFileList, OneFileYieldsOnlyItselfBesideANameDifferingInCase) {
  TempDir t;
  const std::string r = t.path().string();
  WriteFile(t.path() / "scan.tif", "");
  WriteFile(t.path() / "SCAN.TIF", "");
  clsConversionOptions task;
  Strings files;
  ASSERT_TRUE(BuildFileListForItem(task, r + "/scan.tif", files, true, true));
  EXPECT_EQ(files, (Strings{r + "/scan.tif"}));
  // A mask still ignores letter case.
  files.clear();
  ASSERT_TRUE(BuildFileListForItem(task, r + "/scan.t?f", files, true, true));
  EXPECT_EQ(files.size(), 2u);
}

TEST(TaskFileList, MissingFolderFailsWithItsText) {
  TempDir t;
  clsConversionOptions task;
  Strings files;
  EXPECT_FALSE(BuildFileListForItem(task, t.file("gone") + "/*.tif", files, true, true));
  EXPECT_TRUE(files.empty());
  EXPECT_EQ(task.sErr, "An error occured while searching for files: 3 : Path Not Found.");
}

TEST(TaskFileList, UnreadableSubfolderUsesOrRefusesWhatWasFound) {
  TempDir t;
  const fs::path r = t.path();
  WriteFile(r / "a" / "1.tif", "");
  WriteFile(r / "b" / "2.tif", "");
  fs::permissions(r / "b", fs::perms::none);
  const std::string mask = r.string() + "/*.tif";
  // Folder permissions bind only without privileges: check in a child that
  // gives them up.
  EXPECT_EQ(test::ExitCodeWithoutPrivileges([&] {
    clsConversionOptions task;
    task.bDoSubfolders = true;
    Strings goOn;
    Strings stop;
    const bool usedAnyway = BuildFileListForItem(task, mask, goOn, true, true) &&
                            goOn == Strings{r.string() + "/a/1.tif"} && task.sErr.empty();
    const bool refused = !BuildFileListForItem(task, mask, stop, true, false) && stop.empty() &&
                         task.sErr == "An error occured while searching for files: 5 : Access Denied.";
    return usedAnyway ? (refused ? 0 : 4) : 3;
  }), 0);
}

}  // namespace
}  // namespace tessa
