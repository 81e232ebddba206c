#include "platform/sibling_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace tessa {
namespace {

TEST(SiblingFile, TemporaryNameStaysBesideTheTargetAndWithinTheNameLimit) {
  EXPECT_EQ(SiblingTempPattern("/a/b/job.zol"), "/a/b/.job.zol.XXXXXX");
  EXPECT_EQ(SiblingTempPattern("job.zol"), "./.job.zol.XXXXXX");
  EXPECT_EQ(SiblingTempPattern("/a/" + std::string(250, 'x')), "/a/.tmp.XXXXXX");
}

TEST(SiblingFile, FreeNameLiesBesideTheTargetKeepsTheSuffixAndIsNotTaken) {
  test::TempDir dir;
  for (const std::string& name : {std::string("out.pdf"), std::string(250, 'x')}) {
    const std::string free = FreeSiblingName(dir.file(name), ".pdf");
    ASSERT_FALSE(free.empty()) << name;
    EXPECT_EQ(std::filesystem::path(free).parent_path(), dir.path());
    EXPECT_TRUE(free.ends_with(".pdf"));
    EXPECT_FALSE(std::filesystem::exists(free));
  }
  EXPECT_EQ(FreeSiblingName("/proc/no-such-folder/out.pdf"), "");
}

TEST(SiblingFile, ModeIsTheOldFilesOrTheUmasksForANewOne) {
  test::TempDir dir;
  const std::string old = test::WriteFile(dir.path() / "old", "x");
  ::chmod(old.c_str(), 0640);
  EXPECT_EQ(ReplacementFileMode(old), 0640u);
  const mode_t mask = ::umask(027);
  EXPECT_EQ(ReplacementFileMode(dir.file("new")), 0640u);
  ::umask(mask);
}

}  // namespace
}  // namespace tessa
