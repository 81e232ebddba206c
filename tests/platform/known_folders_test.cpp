#include "platform/known_folders.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

TEST(SpecialFolders, MapToTheXdgFoldersOfTheHome) {
  TempDir dir;
  const std::string home = dir.file("home");
  test::ScopedHome h(home);
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_APPDATA).path, home + "/.config");
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_LOCAL_APPDATA).path, home + "/.local/share");
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_PROFILE).path, home);
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_PERSONAL).path, home + "/Documents");
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_WINDOWS).path, "/usr");
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_PROGRAM_FILES).path, "/opt");
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_PROGRAM_FILESX86).path, "/opt");
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_COMMON_DOCUMENTS).status, SpecialFolderStatus::NotValid);
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_COMMON_APPDATA).status, SpecialFolderStatus::NotValid);
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_APPDATA).status, SpecialFolderStatus::Found);  // not created
}

TEST(SpecialFolders, FollowXdgVariablesAndUserDirs) {
  TempDir dir;
  const std::string home = dir.file("home");
  ScopedEnv h("HOME", home + "/");
  ScopedEnv c("XDG_CONFIG_HOME", dir.file("cfg"));
  ScopedEnv d("XDG_DATA_HOME", dir.file("data"));
  WriteFile(dir.path() / "cfg" / "user-dirs.dirs",
            "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
            "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_APPDATA).path, dir.file("cfg"));
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_LOCAL_APPDATA).path, dir.file("data"));
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_PERSONAL).path, home + "/Dokumente");
  EXPECT_EQ(LookUpSpecialFolder(CSIDL_PROFILE).path, home);
}

}  // namespace
}  // namespace tessa
