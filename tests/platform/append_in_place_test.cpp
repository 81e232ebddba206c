// A torn append, made by a real writer that the file-size limit kills
// part-way, and what later touches of the file do to it before the mend.
#include "platform/append_in_place.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

std::string Noise(size_t n, unsigned seed) {
  std::string bytes(n, '\0');
  std::mt19937 random(seed);
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Runs body in a child and returns its exit code; -1 when it was killed.
int InChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Appends bytes to path in a child that may write files up to limit bytes
// only, so that the system kills it once its write reaches the limit.
void AppendKilledAt(const std::string& path, const std::string& bytes, off_t limit) {
  InChild([&] {
    const rlimit cap{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    setrlimit(RLIMIT_FSIZE, &cap);
    const int fd = ::open(path.c_str(), O_RDWR);
    std::string what;
    return AppendInPlace(fd, path, bytes, fs::file_size(path), what);
  });
}

// MendTornAppend in a child whose reads from offset `from` on fail.
TornAppendMend MendUnableToReadFrom(const std::string& path, uint32_t from) {
  return static_cast<TornAppendMend>(InChild([&] {
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pread64, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[3])),  // the offset's low half
        BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, from, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(code)), code};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      return 99;
    return static_cast<int>(MendTornAppend(path));
  }));
}

class TornAppend : public ::testing::Test {
 protected:
  const std::string old_ = "%PDF-1.4\n" + Noise(5000, 1) + "\n%%EOF\n";
  const std::string append_ = "12 0 obj\n<< /Type /XObject >>\nstream\n" + Noise(20000, 2);
  test::TempDir dir_;
  const std::string pdf_ = dir_.file("book.pdf");
  const std::string note_ = dir_.file(".book.pdf.tessaprint-append");

  bool NoteStands() const { return fs::exists(fs::symlink_status(note_)); }
  // The file as a killed append of `written` bytes left it, with its note.
  void Tear(size_t written) {
    test::WriteFile(pdf_, old_);
    AppendKilledAt(pdf_, append_, static_cast<off_t>(old_.size() + written));
    ASSERT_EQ(fs::file_size(pdf_), old_.size() + written);
    ASSERT_TRUE(NoteStands());
  }
  // Overwrites the file in place, keeping its inode, as cp does.
  void Rewrite(const std::string& bytes) { std::ofstream(pdf_, std::ios::binary) << bytes; }
};

// Each touch of a torn file, and what the mend must make of it.
TEST_F(TornAppend, OnlyTheWritersOwnTornTailIsCut) {
  const std::string update = append_.substr(0, 100) + Noise(200, 4);  // alike at its start
  const std::string otherPage = append_.substr(0, 3000) + Noise(4000, 3);
  std::string changedBefore = old_;
  changedBefore[old_.size() - 20] ^= 1;
  struct Case {
    const char* name;
    size_t written;
    std::function<void()> touch;  // what happens to the file before the mend
    TornAppendMend mend;
    std::string expected;  // the file after the mend; "" for the old bytes
  };
  const std::vector<Case> cases = {
      {"one byte written", 1, nullptr, TornAppendMend::kCut, ""},
      {"part written", 9000, nullptr, TornAppendMend::kCut, ""},
      {"nothing written", 0, nullptr, TornAppendMend::kNothingToCut, ""},
      {"whole append", 9000, [&] { Rewrite(old_ + append_); }, TornAppendMend::kNothingToCut,
       old_ + append_},
      {"restored, then another editor's update", 9000, [&] { Rewrite(old_ + update); },
       TornAppendMend::kNothingToCut, old_ + update},
      {"another append copied back over", 0, [&] { Rewrite(old_ + otherPage); },
       TornAppendMend::kNothingToCut, old_ + otherPage},
      {"changed before the old length", 9000,
       [&] { Rewrite(changedBefore + append_.substr(0, 9000)); }, TornAppendMend::kNothingToCut,
       changedBefore + append_.substr(0, 9000)},
      {"grown past the append", 9000, [&] { Rewrite(old_ + append_ + "more"); },
       TornAppendMend::kNothingToCut, old_ + append_ + "more"},
  };
  for (const Case& c : cases) {
    Tear(c.written);
    if (c.touch) c.touch();
    EXPECT_EQ(MendTornAppend(pdf_), c.mend) << c.name;
    EXPECT_TRUE(test::ReadFile(pdf_) == (c.expected.empty() ? old_ : c.expected)) << c.name;
    EXPECT_FALSE(NoteStands()) << c.name;
  }
  EXPECT_EQ(MendTornAppend(pdf_), TornAppendMend::kNoNote);
}

TEST_F(TornAppend, ANoteThatCannotBeTrustedOrCheckedCutsNothingAndAnUnreadOneStays) {
  // A whole append whose bytes cannot be read keeps its note for a later touch.
  Tear(9000);
  Rewrite(old_ + append_);
  EXPECT_EQ(MendUnableToReadFrom(pdf_, static_cast<uint32_t>(old_.size())), TornAppendMend::kUnsettled);
  EXPECT_TRUE(NoteStands());
  EXPECT_EQ(MendTornAppend(pdf_), TornAppendMend::kNothingToCut);

  // A note of another user, beside a file that is not theirs, counts for
  // nothing (root gives it away; anyone else cannot make one).
  if (::geteuid() == 0) {
    Tear(9000);
    ASSERT_EQ(::lchown(note_.c_str(), 65534, 65534), 0);
    EXPECT_EQ(MendTornAppend(pdf_), TornAppendMend::kNoNote);
    EXPECT_EQ(fs::file_size(pdf_), old_.size() + 9000);
    ::unlink(note_.c_str());
  }
}

}  // namespace
}  // namespace tessa
