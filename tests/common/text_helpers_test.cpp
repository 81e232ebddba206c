#include "common/text_helpers.h"

#include <gtest/gtest.h>

#include "common/vb_conversions.h"
#include "common/windows_version.h"
#include "platform/os_info.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

TEST(TextHelpers, TrimAtNull) {
  EXPECT_EQ(TrimAtNull("abc"), "abc");
  EXPECT_EQ(TrimAtNull(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(TrimAtNull(std::string("\0x", 2)), "");
}

TEST(TextHelpers, QuotesWildcardsAndPrefixes) {
  EXPECT_EQ(StripQuotes("\"a b\"c\""), "a bc");
  EXPECT_TRUE(bHasWildcards("*.tif"));
  EXPECT_TRUE(bHasWildcards("a?.png"));
  EXPECT_FALSE(bHasWildcards("/home/a.png"));
  EXPECT_TRUE(bStartsWith("/Home/u", "/home"));
  EXPECT_TRUE(bStartsWith("x", ""));
  EXPECT_FALSE(bStartsWith("ab", "abc"));
}

TEST(TextHelpers, TrimCharsFromEnds) {
  EXPECT_EQ(TrimCharsFromEnds("\\\\a\\b\\\\", "\\"), "a\\b");
  EXPECT_EQ(TrimCharsFromEnds("xXaxX", "x"), "a");
  EXPECT_EQ(TrimCharsFromEnds("abc", ""), "abc");
  EXPECT_EQ(TrimCharsFromEnds("", "a"), "");
  EXPECT_EQ(TrimCharsFromEnds("aaaa", "a"), "");
}

TEST(TextHelpers, FolderFromPathAcceptsBothSeparators) {
  EXPECT_EQ(GetFolderFromPath("file.png"), "");
  EXPECT_EQ(GetFolderFromPath("C:\\"), "C:/");
  EXPECT_EQ(GetFolderFromPath("C:\\scans\\a.tif"), "C:/scans/");
  EXPECT_EQ(GetFolderFromPath("/home/u/a.tif"), "/home/u/");
  EXPECT_EQ(GetFolderFromPath("/"), "/");
}

TEST(TextHelpers, ExtensionComesFromTheNamePartOnly) {
  EXPECT_EQ(GetFileExtension("/home/u/a.TIF"), "TIF");
  EXPECT_EQ(GetFileExtension("/home/u/.config/x"), "");
  EXPECT_EQ(GetFileExtension("C:\\my.folder\\file"), "");
  EXPECT_EQ(GetFileExtension("a.tar.gz"), "gz");
  EXPECT_EQ(GetFileExtension("name. pdf "), "pdf");
  EXPECT_EQ(GetFileExtension("noext"), "");
}

TEST(TextHelpers, RemoveTrailingBackslashRemovesOneSeparator) {
  EXPECT_EQ(RemoveTrailingBackslash("/tmp/"), "/tmp");
  EXPECT_EQ(RemoveTrailingBackslash("C:\\x\\\\"), "C:\\x\\");
  EXPECT_EQ(RemoveTrailingBackslash("abc"), "abc");
  EXPECT_EQ(RemoveTrailingBackslash(""), "");
}

TEST(TextHelpers, SplitTextKeepsEmptyPieces) {
  EXPECT_EQ(SplitText("", '^').size(), 1u);
  EXPECT_EQ(SplitText("a^^b^", '^'), (std::vector<std::string>{"a", "", "b", ""}));
}

TEST(VbConversions, NumbersAndBooleans) {
  EXPECT_EQ(CLngText(" 42 "), 42);
  EXPECT_EQ(CLngText("-7"), -7);
  EXPECT_EQ(CLngText("0.5"), 0);
  EXPECT_EQ(CLngText("1.5"), 2);
  EXPECT_EQ(CLngText("&HFF"), 255);
  EXPECT_EQ(CLngText("&HFFFF"), -1);
  EXPECT_EQ(CLngText("1e3"), 1000);
  EXPECT_FALSE(CLngText(""));
  EXPECT_FALSE(CLngText("12abc"));
  EXPECT_FALSE(CLngText("3000000000"));
  EXPECT_EQ(CBoolText("TRUE"), true);
  EXPECT_EQ(CBoolText(" false "), false);
  EXPECT_EQ(CBoolText("-1"), true);
  EXPECT_FALSE(CBoolText("maybe"));
  EXPECT_EQ(ValText(" 12abc"), 12);
  EXPECT_EQ(ValText("abc"), 0);
}

TEST(WindowsVersion, DescriptionNamesTheSystemAndTheBuildWidth) {
  test::TempDir dir;
  const std::string osr = test::WriteFile(dir.path() / "os-release", "NAME=X\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
  EXPECT_EQ(OperatingSystemNameFrom(osr), "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(DescribeOperatingSystem("Debian GNU/Linux 12 (bookworm)"),
            std::string("Debian GNU/Linux 12 (bookworm), ") + (Is64BitBuild() ? "64-bit" : "32-bit"));
  EXPECT_EQ(DescribeOperatingSystem(""), "");
  EXPECT_TRUE(bIsVistaOrLater());
  const std::string first = GetWinVerInfo();
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(GetWinVerInfo(), first);
}

}  // namespace
}  // namespace tessa
