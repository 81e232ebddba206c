#include "engine/run/item_file_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

TEST(ItemFileList, FrameNamesFollowTheInput) {
  EXPECT_EQ(ItemFileList::FrameFileName("/scans/fax.tif", 3), "/scans/fax-ZOL_TEMP_FILE-3.tif");
  // A listed name is a name: a backslash in it makes no folder.
  EXPECT_EQ(ItemFileList::FrameFileName("/scans/..\\a.b.TIFF", 12), "/scans/..\\a.b-ZOL_TEMP_FILE-12.TIFF");
  EXPECT_EQ(ItemFileList::FrameFileName("/scans/noext", 1), "/scans/noext-ZOL_TEMP_FILE-1");
}

TEST(ItemFileList, FramesGoBesideTheInputUnlessThatPlaceCannotTakeThem) {
  test::TempDir dir;
  std::string inside;
  {
    ItemFileList list;
    const std::string beside = list.ReserveFrameFile(dir.file("fax.tif"), 1);
    EXPECT_EQ(beside, dir.file("fax-ZOL_TEMP_FILE-1.tif"));
    list.AddFrame(beside, 1);

    // A folder that takes no new files (here a read-only file system).
    inside = list.ReserveFrameFile("/proc/fax.tif", 2);
    ASSERT_FALSE(inside.empty());
    EXPECT_EQ(fs::path(inside).filename(), "fax-ZOL_TEMP_FILE-2.tif");
    EXPECT_TRUE(fs::exists(inside));

    // A name the user already has is not taken over.
    const std::string mine = test::WriteFile(dir.file("fax-ZOL_TEMP_FILE-3.tif"), "mine");
    const std::string other = list.ReserveFrameFile(dir.file("fax.tif"), 3);
    EXPECT_NE(other, mine);
    list.AddInput(dir.file("fax.tif"));
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_TRUE(list[0].bTemporary);
    EXPECT_FALSE(list[1].bTemporary);
  }
  EXPECT_FALSE(fs::exists(inside));
  EXPECT_FALSE(fs::exists(fs::path(inside).parent_path()));
  EXPECT_EQ(test::ReadFile(dir.file("fax-ZOL_TEMP_FILE-3.tif")), "mine");
  EXPECT_FALSE(fs::exists(dir.file("fax-ZOL_TEMP_FILE-1.tif")));
}

}  // namespace
}  // namespace tessa
