#include "platform/sibling_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace tessa {
namespace {

TEST(SiblingFile, TemporaryNameStaysBesideTheTargetAndWithinTheNameLimit) {
  EXPECT_EQ(SiblingTempPattern("/a/b/job.zol"), "/a/b/.job.zol.XXXXXX");
  EXPECT_EQ(SiblingTempPattern("job.zol"), "./.job.zol.XXXXXX");
  EXPECT_EQ(SiblingTempPattern("/a/" + std::string(250, 'x')), "/a/.tmp.XXXXXX");
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
