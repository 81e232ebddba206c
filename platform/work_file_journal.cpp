#include "platform/work_file_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/append_in_place.h"
#include "platform/temp_file_claim.h"
#include "platform/text_file.h"

namespace tessa {

namespace {

namespace fs = std::filesystem;

constexpr const char* kJournalPrefix = ".tessaprint-work-";

// The journal of this process, made at its first note and removed when the
// process ends normally.
class Journal {
 public:
  ~Journal() {
    if (fd_ < 0) return;
    ::unlink(path_.c_str());
    ::close(fd_);
  }

  void Note(const std::string& line) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0 && !Open()) return;
    WriteAllBytes(fd_, line);
    noted_ = true;
  }

  void Clear() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ >= 0 && noted_ && ::ftruncate(fd_, 0) == 0) noted_ = false;
  }

 private:
  bool Open() {
    std::string pattern = WorkFileJournalFolder() + "/" + kJournalPrefix + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_APPEND | O_CLOEXEC);
    if (fd < 0) return false;
    // Another process clearing abandoned journals may have taken this one
    // before it was locked; then it is gone and a new one is made next time.
    struct stat open {}, named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &open) != 0 || ::lstat(pattern.c_str(), &named) != 0 ||
        open.st_ino != named.st_ino) {
      ::close(fd);
      return false;
    }
    fd_ = fd;
    path_ = pattern;
    return true;
  }

  std::mutex mutex_;
  int fd_ = -1;
  std::string path_;
  bool noted_ = false;  // lines written since the last clear
};

Journal& ThisProcessJournal() {
  static Journal journal;
  return journal;
}

// Removes what one abandoned journal lists: a file only while it is still
// the one noted (same device and inode; any file when only the name was
// noted) and no live process claims it, with the note of an append to it,
// a folder only when empty.
void RemoveListed(const std::string& journal) {
  std::ifstream in(journal);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    unsigned long long dev = 0, ino = 0;
    std::string path;
    if (!(fields >> dev >> ino) || !std::getline(fields >> std::ws, path) || path.empty()) continue;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      ::rmdir(path.c_str());
    } else if ((ino == 0 || (st.st_dev == dev && st.st_ino == ino)) && RemoveIfAbandoned(path)) {
      // Never a file some live process claims. A half-written PDF set
      // aside may have the note of an append beside it, which goes too.
      MendTornAppend(path);
    }
  }
}

}  // namespace

std::string WorkFileJournalFolder() {
  const char* env = std::getenv("TMPDIR");
  std::string folder = (env && *env) ? env : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

void NoteWorkFile(const std::string& path) {
  std::error_code ec;
  const std::string absolute = fs::absolute(path, ec).lexically_normal().string();
  if (ec || absolute.find('\n') != std::string::npos) return;
  struct stat st {};
  const bool exists = ::lstat(absolute.c_str(), &st) == 0;
  const unsigned long long dev = exists ? st.st_dev : 0, ino = exists ? st.st_ino : 0;
  ThisProcessJournal().Note(std::to_string(dev) + " " + std::to_string(ino) + " " + absolute + "\n");
}

void ClearWorkFileJournal() { ThisProcessJournal().Clear(); }

void RemoveAbandonedWorkFiles() {
  static std::once_flag once;
  std::call_once(once, [] {
    const std::string folder = WorkFileJournalFolder();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.rfind(kJournalPrefix, 0) != 0) continue;
      const std::string journal = it->path().string();
      const int fd = ::open(journal.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
      if (fd < 0) continue;
      // Locked by nobody: its process is gone.
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        RemoveListed(journal);
        ::unlink(journal.c_str());
      }
      ::close(fd);
    }
  });
}

}  // namespace tessa
