#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "support/forked_children.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(IniFile, ReadsCaseInsensitiveFirstMatchTrimmedAndUnquoted) {
  TempDir dir;
  const std::string ini = WriteFile(dir.path() / "a.ini",
                                    "; comment\r\n"
                                    "[Main]\r\n"
                                    "  Name =  \"  quoted value  \"  \r\n"
                                    "name=second\r\n"
                                    "Plain= a b \r\n"
                                    "[main]\r\n"
                                    "Other=from the second section\r\n");
  EXPECT_EQ(ReadIniString(ini, "MAIN", "NAME", "d"), "  quoted value  ");
  EXPECT_EQ(ReadIniString(ini, "Main", "plain", "d"), "a b");
  // Only the first section of a name is read.
  EXPECT_EQ(ReadIniString(ini, "Main", "Other", "d"), "d");
  EXPECT_EQ(ReadIniString(ini, "Nope", "Name", "d"), "d");
  EXPECT_EQ(ReadIniString(dir.file("missing.ini"), "Main", "Name", "dflt"), "dflt");
  EXPECT_EQ(ReadIniString("", "Main", "Name", "dflt"), "dflt");
}

TEST(IniFile, WriteReplacesInPlaceAddsToSectionAndKeepsOtherLines) {
  TempDir dir;
  const std::string ini = WriteFile(dir.path() / "a.ini",
                                    "; keep me\r\n"
                                    "[One]\r\n"
                                    "A=1\r\n"
                                    "B=2\r\n"
                                    "\r\n"
                                    "[Two]\r\n"
                                    "C=3\r\n");
  ASSERT_TRUE(WriteIniString(ini, "one", "b", "22"));
  ASSERT_TRUE(WriteIniString(ini, "ONE", "New", "n"));
  ASSERT_TRUE(WriteIniString(ini, "Three", "D", "4"));
  EXPECT_EQ(ReadFile(ini),
            "; keep me\r\n"
            "[One]\r\n"
            "A=1\r\n"
            "B=22\r\n"
            "New=n\r\n"
            "\r\n"
            "[Two]\r\n"
            "C=3\r\n"
            "[Three]\r\n"
            "D=4\r\n");
}

TEST(IniFile, FirstWriteCreatesTheFileButNotItsFolder) {
  TempDir dir;
  const std::string ini = dir.file("new.ini");
  ASSERT_TRUE(WriteIniString(ini, "S", "K", std::string(2000, 'x')));
  EXPECT_EQ(ReadIniString(ini, "S", "K", ""), std::string(2000, 'x'));  // no length limit
  std::string error;
  EXPECT_FALSE(WriteIniString(dir.file("no/such/folder/x.ini"), "S", "K", "v", &error));
  EXPECT_NE(error.find("x.ini"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "no"));
}

TEST(IniFile, RefusesLineBreaksAndBadNames) {
  TempDir dir;
  const std::string ini = WriteFile(dir.path() / "a.ini", "[S]\nK=old\n");
  EXPECT_FALSE(WriteIniString(ini, "S", "K", "two\nlines"));
  EXPECT_FALSE(WriteIniString(ini, "S", "K", "cr\r"));
  EXPECT_FALSE(WriteIniString(ini, "S", "A=B", "v"));
  EXPECT_FALSE(WriteIniString(ini, "S]x", "K", "v"));
  EXPECT_FALSE(WriteIniString(ini, "S", "", "v"));
  EXPECT_EQ(ReadFile(ini), "[S]\nK=old\n");
}

TEST(IniFile, AFileThatCannotBeReadIsNotReplaced) {
  TempDir dir;
  const std::string ini = WriteFile(dir.path() / "a.ini", "[S]\nK=old\nL=keep\n");
  ::chmod(ini.c_str(), 0200);  // may be written, not read
  // The write runs in a child without the privileges that read anything.
  EXPECT_EQ(test::ExitCodeWithoutPrivileges([&] { return WriteIniString(ini, "S", "K", "new") ? 1 : 0; }), 0)
      << "the write was not refused";
  ::chmod(ini.c_str(), 0644);
  EXPECT_EQ(ReadFile(ini), "[S]\nK=old\nL=keep\n");
}

TEST(IniFile, ReadsUtf16FilesAndKeepsAFileWithoutFinalLineEnd) {
  TempDir dir;
  const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("[\0S\0]\0\n\0K\0=\0\xE9\0", 14);
  const std::string ini = WriteFile(dir.path() / "u.ini", utf16);
  EXPECT_EQ(ReadIniString(ini, "s", "k", ""), "\xC3\xA9");
  const std::string plain = WriteFile(dir.path() / "p.ini", "[S]\nK=1");
  ASSERT_TRUE(WriteIniString(plain, "S", "L", "2"));
  EXPECT_EQ(ReadFile(plain), "[S]\nK=1\nL=2\n");
}

TEST(IniFile, TwoProcessesWritingAtOnceLoseNoKey) {
  TempDir dir;
  const std::string ini = dir.file("shared.ini");
  constexpr int kKeys = 150;
  EXPECT_EQ(test::RunInChildrenAtOnce(2, [&](int c) {
              bool ok = true;
              for (int k = 0; k < kKeys; ++k)
                ok = WriteIniString(ini, c == 0 ? "First" : "Second", "Key" + std::to_string(k),
                                    std::to_string(k * 7 + c)) && ok;
              return ok;
            }),
            2);
  for (int k = 0; k < kKeys; ++k) {
    EXPECT_EQ(ReadIniString(ini, "First", "Key" + std::to_string(k), "lost"), std::to_string(k * 7));
    EXPECT_EQ(ReadIniString(ini, "Second", "Key" + std::to_string(k), "lost"), std::to_string(k * 7 + 1));
  }
  // No temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(IniFile, WriteLockIsReentrantWithinAProcess) {
  TempDir dir;
  const std::string ini = dir.file("a.ini");
  IniWriteLock outer(ini);
  EXPECT_TRUE(outer.held());
  EXPECT_TRUE(WriteIniString(ini, "S", "K", "v"));  // would hang if not re-entrant
  EXPECT_EQ(ReadIniString(ini, "S", "K", ""), "v");
}

// A file is read once while it stays as it was; every other version of it,
// same size or not, is read anew.
TEST(IniFile, AnotherVersionOfTheFileIsReadAgain) {
  // Whether the version read first is a minute old, and whether the next comes by a rename.
  for (const auto& [what, bOld, bReplace] : {std::tuple{"in place, just written", false, false},
                                             std::tuple{"in place, old", true, false}, std::tuple{"by a rename", false, true}}) {
    TempDir dir;
    const std::string ini = WriteFile(dir.path() / "a.ini", "[S]\nK=one\n");
    if (bOld) {
      const timespec aMinuteAgo[2] = {{time(nullptr) - 60, 0}, {time(nullptr) - 60, 0}};
      ASSERT_EQ(utimensat(AT_FDCWD, ini.c_str(), aMinuteAgo, 0), 0);
    }
    EXPECT_EQ(ReadIniString(ini, "S", "K", ""), "one") << what;
    if (bReplace) {
      ASSERT_EQ(rename(WriteFile(dir.path() / "b.ini", "[S]\nK=two\n").c_str(), ini.c_str()), 0);
    } else {
      WriteFile(ini, "[S]\nK=two\n");
    }
    EXPECT_EQ(ReadIniString(ini, "S", "K", ""), "two") << what;
    EXPECT_TRUE(WriteIniString(ini, "S", "Other", "x"));
    EXPECT_EQ(ReadFile(ini), "[S]\nK=two\nOther=x\n") << what;
  }
}

}  // namespace
}  // namespace tessa
