#include "common/path_macros.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::TempDir;

class PathMacrosTest : public ::testing::Test {
 protected:
  PathMacrosTest() : home_(dir_.file("home")) {}
  ~PathMacrosTest() override { SetClockSource(nullptr); }
  std::string Home() const { return dir_.file("home"); }
  TempDir dir_;
  test::ScopedHome home_;
};

TEST_F(PathMacrosTest, ExpandsOneKindOfMacroInAnyCase) {
  std::string p = "  %appdata%\\X  ";
  EXPECT_EQ(ExpandPathMacros(p), Home() + "/.config\\X");
  EXPECT_EQ(p, "%appdata%\\X");  // the caller's text is only trimmed
  p = "%APPDATA%/a/%WINDIR%/b";
  EXPECT_EQ(ExpandPathMacros(p), Home() + "/.config/a/%WINDIR%/b");
  p = "%HOMEPATH%\\Out";
  EXPECT_EQ(ExpandPathMacros(p), Home() + "\\Out");
  p = "%UserProfile%/a%HOMEPATH%";
  EXPECT_EQ(ExpandPathMacros(p), Home() + "/a" + Home());
  p = "%LOCALAPPDATA%/x";
  EXPECT_EQ(ExpandPathMacros(p), Home() + "/.local/share/x");
  p = "%ProgramFiles(x86)%/a";
  EXPECT_EQ(ExpandPathMacros(p), "/opt/a");
  p = "%PROGRAMFILES%/a";
  EXPECT_EQ(ExpandPathMacros(p), "/opt/a");
  p = "%WINDIR%";
  EXPECT_EQ(ExpandPathMacros(p), "/usr");
  p = "%MYDOCUMENTS%/out";
  EXPECT_EQ(ExpandPathMacros(p), Home() + "/Documents/out");
  p = "  /plain/path  ";
  EXPECT_EQ(ExpandPathMacros(p), "/plain/path");
  p = "%UNKNOWN%/x";
  EXPECT_EQ(ExpandPathMacros(p), "%UNKNOWN%/x");
}

TEST_F(PathMacrosTest, TokensTakeOneMomentEvenAcrossMidnight) {
  int reads = 0;
  SetClockSource([&reads] {
    // The first read is one second before midnight, any later one after it.
    return ++reads == 1 ? LocalDateTime{2024, 12, 31, 23, 59, 59} : LocalDateTime{2025, 1, 1, 0, 0, 0};
  });
  std::string p = "out/[YMD]-[HIS].pdf";
  EXPECT_EQ(ExpandDateTimeTokens(p), "out/20241231-235959.pdf");
  EXPECT_EQ(p, "out/20241231-235959.pdf");
  EXPECT_EQ(reads, 1);
}

TEST_F(PathMacrosTest, EveryTokenAndItsFormat) {
  const LocalDateTime when{2024, 3, 7, 9, 5, 2};
  std::string p = "[Y]|[M]|[D]|[YMD]|[MDY]|[H]|[I]|[S]|[HIS]|[Y][Y]";
  EXPECT_EQ(ExpandDateTimeTokensAt(p, when), "2024|03|07|20240307|03072024|09|05|02|090502|20242024");
  p = "[ymd]/[Ymd]";
  EXPECT_EQ(ExpandDateTimeTokensAt(p, when), "[ymd]/[Ymd]");  // only upper case is replaced
  p = "";
  EXPECT_EQ(ExpandDateTimeTokensAt(p, when), "");
  int reads = 0;
  SetClockSource([&reads] { ++reads; return LocalDateTime{}; });
  p = "no tokens";
  EXPECT_EQ(ExpandDateTimeTokens(p), "no tokens");
  EXPECT_EQ(reads, 0);
}

}  // namespace
}  // namespace tessa
