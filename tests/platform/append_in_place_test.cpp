// Torn appends of a real writer that the file-size limit kills.
#include "platform/append_in_place.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>

#include <cstddef>
#include <filesystem>

#include "support/forked_children.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

class TornAppend : public ::testing::Test {
 protected:
  // The file as an append killed after `written` bytes left it, with its note.
  void Tear(size_t written) {
    test::WriteFile(pdf_, old_);
    test::RunInChildrenAtOnce(1, [&](int) {
      const rlimit cap{old_.size() + written, old_.size() + written};
      std::string what;
      return setrlimit(RLIMIT_FSIZE, &cap) == 0 && AppendInPlace(::open(pdf_.c_str(), O_RDWR), pdf_, append_, old_.size(), what);
    });
    ASSERT_TRUE(fs::exists(fs::symlink_status(note_)));
  }

  const std::string old_ = "%PDF-1.4\n" + std::string(5000, 'o') + "\n%%EOF\n";
  const std::string append_ = "12 0 obj\n<< /Length 20000 >>\nstream\n" + std::string(20000, 'a');
  test::TempDir dir_;
  const std::string pdf_ = dir_.file("book.pdf"), note_ = dir_.file(".book.pdf.tessaprint-append");
};

TEST_F(TornAppend, OnlyTheWritersOwnTornTailIsCut) {
  std::string changed = old_;
  changed[old_.size() - 20] = 'x';
  // Bytes written before the kill, the file since, and whether the mend cuts it back.
  const std::vector<std::tuple<size_t, std::string, TornAppendMend>> cases = {
      {9000, "", TornAppendMend::kCut},
      {9000, old_ + append_.substr(0, 100) + std::string(200, 'u'), TornAppendMend::kNothingToCut},  // restored, updated
      {0, old_ + append_.substr(0, 3000) + std::string(4000, 'p'), TornAppendMend::kNothingToCut},  // a copy brought back
      {9000, changed + append_.substr(0, 9000), TornAppendMend::kNothingToCut},
  };
  for (const auto& [written, since, mend] : cases) {
    Tear(written);
    if (!since.empty()) test::WriteFile(pdf_, since);  // in place, as cp does
    EXPECT_EQ(MendTornAppend(pdf_), mend) << since.size();
    EXPECT_EQ(test::ReadFile(pdf_), since.empty() ? old_ : since);
    EXPECT_FALSE(fs::exists(fs::symlink_status(note_)));
  }
}

TEST_F(TornAppend, AnUnreadableWholeAppendKeepsItsNoteAndAnotherUsersNoteCountsForNothing) {
  Tear(9000);
  test::WriteFile(pdf_, old_ + append_);
  // The mend in a child whose reads past the old length fail.
  EXPECT_EQ(test::RunInChildrenAtOnce(1, [&](int) {
              sock_filter code[] = {
                  BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                  BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pread64, 0, 3),
                  BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[3])),
                  BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, static_cast<uint32_t>(old_.size()), 0, 1),
                  BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO), BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
              const sock_fprog filter{static_cast<unsigned short>(std::size(code)), code};
              return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0 &&
                     MendTornAppend(pdf_) == TornAppendMend::kUnsettled;
            }), 1);
  EXPECT_EQ(MendTornAppend(pdf_), TornAppendMend::kNothingToCut);
  if (::geteuid() != 0) return;  // only root can give a note away
  Tear(9000);
  ASSERT_EQ(::lchown(note_.c_str(), 65534, 65534), 0);
  EXPECT_EQ(MendTornAppend(pdf_), TornAppendMend::kNoNote);
  EXPECT_EQ(fs::file_size(pdf_), old_.size() + 9000);
}

}  // namespace
}  // namespace tessa
