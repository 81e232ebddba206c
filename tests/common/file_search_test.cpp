#include "common/file_search.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "support/forked_children.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::TempDir;
using test::WriteFile;
namespace fs = std::filesystem;

std::vector<std::string> Names(const CFileSearch& s, const fs::path& root) {
  std::vector<std::string> out;
  const std::string prefix = root.string() + "/";
  for (int i = 0; i < s.TotalFound(); ++i) {
    std::string f = s.Files()[static_cast<size_t>(i)].Filename();
    out.push_back(f.rfind(prefix, 0) == 0 ? f.substr(prefix.size()) : f);
  }
  return out;
}

// Runs check where folder permissions bind: in a child process without
// privileges. True when check held.
bool WithoutPrivileges(const std::function<bool()>& check) {
  return test::ExitCodeWithoutPrivileges([&] { return check() ? 0 : 1; }) == 0;
}

TEST(FileMask, MatchesWithoutRegardToCase) {
  EXPECT_TRUE(MatchesFileMask("A.TIF", "*.tif"));
  EXPECT_TRUE(MatchesFileMask("scan.tif", "*.TIF"));
  EXPECT_TRUE(MatchesFileMask("README", "*.*"));
  EXPECT_TRUE(MatchesFileMask(".hidden", "*.*"));
  EXPECT_TRUE(MatchesFileMask("page12.tif", "page??.tif"));
  EXPECT_FALSE(MatchesFileMask("page1.tif", "page??.tif"));
  EXPECT_TRUE(MatchesFileMask("été.tif", "??é.tif"));  // "?" is one character, not one byte
  EXPECT_TRUE(MatchesFileMask("a.b.c.tif", "a*.tif"));
  EXPECT_FALSE(MatchesFileMask("a.tiff", "*.tif"));
  EXPECT_FALSE(MatchesFileMask("x.tif.bak", "*.tif"));
}

TEST(FileSearch, ArgumentChecks) {
  CFileSearch s;
  EXPECT_EQ(s.BuildFileList("ab", false, false), kErrPathTooShort);
  EXPECT_EQ(s.LastErrorDescription(), "The Invalid path or filename provided.");
  EXPECT_EQ(s.BuildFileList("abc.tif", false, false), kErrInvalidPath);
  EXPECT_EQ(s.LastErrorNumber(), kErrInvalidPath);
  EXPECT_EQ(s.BuildFileList("/tmp/", false, false), kErrNoFileMask);
  EXPECT_EQ(s.BuildFileList("/tmp\\  ", false, false), kErrNoFileMask);
  EXPECT_NE(s.LastErrorDescription().find("No file mask/pattern detected."), std::string::npos);
}

TEST(FileSearch, WalksATreeWithAndWithoutSubfolders) {
  TempDir t;
  const fs::path r = t.path();
  WriteFile(r / "B.TIF", "12345");
  WriteFile(r / "a.tif", "1");
  WriteFile(r / "notes.txt", "x");
  WriteFile(r / "sub" / "c.tif", "");
  WriteFile(r / "sub" / "deeper" / "d.Tif", "");
  WriteFile(r / ".cache" / "hidden.tif", "");
  fs::create_directory_symlink(r, r / "sub" / "loop");  // never followed
  fs::create_symlink(r / "a.tif", r / "link.tif");       // a link to a file counts as a file
  mkfifo((r / "pipe.tif").c_str(), 0600);                // neither file nor folder

  CFileSearch s;
  ASSERT_EQ(s.BuildFileList(r.string() + "/*.tif", false, false), 0);
  EXPECT_EQ(Names(s, r), (std::vector<std::string>{"B.TIF", "a.tif", "link.tif"}));
  EXPECT_EQ(s.TotalSearched(), 4);
  EXPECT_EQ(s.Files()[0].FileSize(), 5);

  ASSERT_EQ(s.BuildFileList(r.string() + "\\*.TIF", true, false), 0);
  EXPECT_EQ(Names(s, r),
            (std::vector<std::string>{"B.TIF", "a.tif", "link.tif", "sub/c.tif", "sub/deeper/d.Tif"}));

  // Excluding: every file but the masked ones.
  ASSERT_EQ(s.BuildFileList1(r.string(), "*.tif", true, true, false), 0);
  EXPECT_EQ(Names(s, r), (std::vector<std::string>{"notes.txt"}));

  // A single file names itself; a mask that matches nothing gives nothing.
  ASSERT_EQ(s.BuildFileList(r.string() + "/a.tif", false, false), 0);
  EXPECT_EQ(Names(s, r), (std::vector<std::string>{"a.tif"}));
  ASSERT_EQ(s.BuildFileList(r.string() + "/*.png", true, false), 0);
  EXPECT_EQ(s.TotalFound(), 0);
}

TEST(FileSearch, MissingFolderIsPathNotFound) {
  TempDir t;
  CFileSearch s;
  EXPECT_EQ(s.BuildFileList(t.file("nope") + "/*.tif", true, true), kErrPathNotFound);
  EXPECT_EQ(s.LastErrorDescription(), "Path Not Found.");
  EXPECT_EQ(s.TotalFound(), 0);
}

TEST(FileSearch, UnreadableFolderStopsOrContinues) {
  TempDir t;
  const fs::path r = t.path();
  WriteFile(r / "a" / "1.tif", "");
  WriteFile(r / "b" / "2.tif", "");
  WriteFile(r / "c" / "3.tif", "");
  fs::permissions(r / "b", fs::perms::none);
  const std::string mask = r.string() + "/*.tif";
  EXPECT_TRUE(WithoutPrivileges([&] {
    CFileSearch s;
    // Stopping: what was found before the failure stays, the rest is skipped.
    const bool stops = s.BuildFileList(mask, true, false) == kErrAccessDenied &&
                       s.LastErrorDescription() == "Access Denied." &&
                       Names(s, r) == std::vector<std::string>{"a/1.tif"};
    const bool goesOn = s.BuildFileList(mask, true, true) == kErrAccessDenied &&
                        Names(s, r) == std::vector<std::string>{"a/1.tif", "c/3.tif"};
    return stops && goesOn;
  }));
}

TEST(FileSearch, ManyFiles) {
  TempDir t;
  for (int i = 0; i < 1200; ++i) WriteFile(t.path() / ("f" + std::to_string(i) + ".tif"), "");
  WriteFile(t.path() / "other.png", "");
  CFileSearch s;
  ASSERT_EQ(s.BuildFileList(t.file("*.tif"), false, false), 0);
  EXPECT_EQ(s.TotalFound(), 1200);
  EXPECT_EQ(s.Files().size(), 1200u);
  EXPECT_EQ(s.TotalSearched(), 1201);
  EXPECT_GE(s.ElapsedTime(), 0.0f);
}

}  // namespace
}  // namespace tessa
