#include "platform/shell_open.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/program_file.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace tessa {
namespace {

TEST(ShellOpen, MissingOpenerIsReported) {
  test::ScopedEnv env("TESSAPRINT_OPENER", "/nonexistent/opener");
  EXPECT_FALSE(ShellOpen("https://example.invalid/"));
}

TEST(ShellOpen, OpenerGetsTheTargetAsOneArgument) {
  test::TempDir dir;
  const std::string record = dir.file("args.txt");
  const std::string opener =
      test::WriteFile(dir.path() / "opener.sh", "#!/bin/sh\necho \"$#:$1\" > '" + record + ".part'; mv '" + record +
                                                    ".part' '" + record + "'\n");
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  test::ScopedEnv env("TESSAPRINT_OPENER", opener);
  ASSERT_TRUE(ShellOpen("/a folder/with blanks.pdf"));
  test::WaitUntil([&] { return std::filesystem::exists(record); });
  EXPECT_EQ(test::ReadFile(record), "1:/a folder/with blanks.pdf\n");
}

TEST(ProgramFile, NamesTheRunningProgram) {
  EXPECT_EQ(ProgramFileStem(), "test_platform");
  EXPECT_NE(ProgramFilePath().find("/test_platform"), std::string::npos);
}

}  // namespace
}  // namespace tessa
