// The note's text is the file's inode, its length before the append, its
// length after it, the CRC-32 of the appended bytes, that of the last bytes
// before them (which tell that the file up to its old length is still the
// one noted) and those of the first 1, 16, 256 and 4096 appended bytes
// (which tell a tail the writer left from bytes someone else put there: a
// torn write keeps a first part of what it wrote, however short), in
// hexadecimal. The note is a symbolic link holding that text: a link is
// made whole or not at all, and its text lives in the records of the
// filesystem itself (in the link's inode, or a block logged with it), which
// a journaling filesystem (ext4, XFS, btrfs) puts on disk in the order the
// changes were made, so the note reaches the disk no later than any growth
// of the file that follows it, without a flush of its own (one would make
// an append of a small image half as slow again). Where the folder takes no
// links (FAT, some network shares), the note is a plain file, flushed with
// its folder before the first byte.
#include "platform/append_in_place.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/sibling_file.h"
#include "platform/text_file.h"

namespace tessa {

namespace {

constexpr const char* kNoteSuffix = ".tessaprint-append";
// How many bytes before the old length the note's second checksum covers.
constexpr unsigned long long kOldEndBytes = 64;

// The lengths of the first bytes of an append whose checksums the note holds.
constexpr std::array<unsigned long long, 4> kHeadLengths = {1, 16, 256, 4096};
constexpr size_t kNoteTextMax = 160;

struct Note {
  unsigned long long inode = 0, oldSize = 0, newSize = 0;
  unsigned long checksum = 0, oldEnd = 0;
  std::array<unsigned long, kHeadLengths.size()> heads{};
};

unsigned long Checksum(std::string_view bytes) {
  return crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
}

// The checksum of the bytes from..to of the file open on fd; nullopt when
// they cannot all be read.
std::optional<unsigned long> FileChecksum(int fd, unsigned long long from, unsigned long long to) {
  unsigned long crc = crc32_z(0, nullptr, 0);
  std::string buffer(std::min<unsigned long long>(1 << 20, to - from), '\0');
  while (from < to) {
    const ssize_t n = ::pread(fd, buffer.data(), std::min<unsigned long long>(buffer.size(), to - from),
                              static_cast<off_t>(from));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    crc = crc32_z(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<size_t>(n));
    from += static_cast<unsigned long long>(n);
  }
  return crc;
}

// The checksum of the last bytes of the file open on fd before length.
std::optional<unsigned long> OldEndChecksum(int fd, unsigned long long length) {
  return FileChecksum(fd, length > kOldEndBytes ? length - kOldEndBytes : 0, length);
}

// The first appended bytes, of each length the note checks, whose checksums
// it holds.
std::string_view Head(std::string_view appended, size_t level) {
  return appended.substr(0, std::min<unsigned long long>(kHeadLengths[level], appended.size()));
}

std::string NoteText(const Note& note) {
  char text[kNoteTextMax];
  std::snprintf(text, sizeof text, "%llx %llx %llx %lx %lx %lx %lx %lx %lx", note.inode, note.oldSize, note.newSize,
                note.checksum, note.oldEnd, note.heads[0], note.heads[1], note.heads[2], note.heads[3]);
  return text;
}

std::optional<Note> ReadNote(const std::string& notePath) {
  std::string text(kNoteTextMax, '\0');
  const ssize_t n = ::readlink(notePath.c_str(), text.data(), text.size() - 1);
  text = n >= 0 ? text.substr(0, static_cast<size_t>(n)) : errno == EINVAL ? ReadFileHead(notePath, kNoteTextMax - 1) : "";
  Note note;
  if (std::sscanf(text.c_str(), "%llx %llx %llx %lx %lx %lx %lx %lx %lx", &note.inode, &note.oldSize, &note.newSize,
                  &note.checksum, &note.oldEnd, &note.heads[0], &note.heads[1], &note.heads[2], &note.heads[3]) != 9 ||
      note.newSize <= note.oldSize)
    return std::nullopt;
  return note;
}

// True when the note at notePath (lstat as noteStat) may speak for the file
// open on fd: it belongs to the user running or to the file's owner, so
// nobody else can have a file cut by planting one.
bool NoteOwnedForFile(const struct stat& noteStat, int fd) {
  struct stat file {};
  return noteStat.st_uid == ::geteuid() || (::fstat(fd, &file) == 0 && noteStat.st_uid == file.st_uid);
}

// Flushes the folder holding path, so that what was made in it lasts.
bool SyncFolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  const int folder = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool synced = folder >= 0 && ::fsync(folder) == 0;
  if (folder >= 0) ::close(folder);
  return synced;
}

// Makes the note at notePath, on disk before what follows it (see above).
// False, with errno set and nothing left, when it cannot be made.
bool MakeNote(const std::string& notePath, const std::string& text) {
  if (::symlink(text.c_str(), notePath.c_str()) == 0) return true;
  if (errno != EPERM && errno != EOPNOTSUPP) return false;
  const int fd = ::open(notePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool made = WriteAllBytes(fd, text) && ::fdatasync(fd) == 0;
  made = ::close(fd) == 0 && made && SyncFolderOf(notePath);
  if (!made) {
    const int code = errno;
    ::unlink(notePath.c_str());
    errno = code;
  }
  return made;
}

// The file path names, also through links.
std::string FileOf(const std::string& path) {
  const std::string written = WrittenPath(path);
  return written.empty() ? path : written;
}

// Whether the tail of the file open on fd past the noted length starts with
// the noted append's first bytes: as many of them as the tail holds of the
// lengths noted. nullopt when they cannot be read.
std::optional<bool> TailIsTheAppends(int fd, const Note& note, unsigned long long size) {
  const unsigned long long tail = size - note.oldSize, appended = note.newSize - note.oldSize;
  size_t level = 0;
  while (level + 1 < kHeadLengths.size() && std::min(kHeadLengths[level + 1], appended) <= tail) ++level;
  const std::optional<unsigned long> head =
      FileChecksum(fd, note.oldSize, note.oldSize + std::min(kHeadLengths[level], appended));
  if (!head) return std::nullopt;
  return *head == note.heads[level];
}

// Cuts the file open on fd, which a torn append left, back to the length
// noted before it: only when it is still the noted file, the same up to
// that length, holds more than that length but not more than the append
// would have made, is not the whole append, and starts past that length
// with the append's first bytes.
TornAppendMend CutBack(int fd, const Note& note) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return TornAppendMend::kUnsettled;
  const auto size = static_cast<unsigned long long>(st.st_size);
  if (st.st_ino != note.inode || size <= note.oldSize || size > note.newSize) return TornAppendMend::kNothingToCut;
  const std::optional<unsigned long> oldEnd = OldEndChecksum(fd, note.oldSize);
  if (!oldEnd) return TornAppendMend::kUnsettled;
  if (*oldEnd != note.oldEnd) return TornAppendMend::kNothingToCut;
  if (size == note.newSize) {
    // A whole append stays; one that cannot be read to tell keeps its note.
    const std::optional<unsigned long> appended = FileChecksum(fd, note.oldSize, note.newSize);
    if (!appended) return TornAppendMend::kUnsettled;
    if (*appended == note.checksum) return TornAppendMend::kNothingToCut;
  }
  const std::optional<bool> ours = TailIsTheAppends(fd, note, size);
  if (!ours) return TornAppendMend::kUnsettled;
  if (!*ours) return TornAppendMend::kNothingToCut;
  const bool cut = ::ftruncate(fd, static_cast<off_t>(note.oldSize)) == 0 && ::fdatasync(fd) == 0;
  return cut ? TornAppendMend::kCut : TornAppendMend::kUnsettled;
}

// The note an append to path keeps beside the file path names:
// ".NAME.tessaprint-append", or a checksum of NAME where it is too long.
std::string AppendNotePath(const std::string& path) {
  const std::filesystem::path file(FileOf(path));
  const std::string folder = file.parent_path().empty() ? "." : file.parent_path().string();
  std::string name = file.filename().string();
  if (name.size() + 1 + std::strlen(kNoteSuffix) > NAME_MAX) {
    char hashed[16];
    std::snprintf(hashed, sizeof hashed, "%08lx", Checksum(name));
    name = hashed;
  }
  return folder + "/." + name + kNoteSuffix;
}

}  // namespace

int AppendInPlace(int fd, const std::string& path, std::string_view bytes, uint64_t oldSize, std::string& what) {
  const std::string notePath = AppendNotePath(path);
  struct stat st {};
  const std::optional<unsigned long> oldEnd = OldEndChecksum(fd, oldSize);
  if (!oldEnd || ::fstat(fd, &st) != 0) {
    const int code = oldEnd ? errno : EIO;
    what = "Cannot append to \"" + path + "\"";
    return code;
  }
  Note note{static_cast<unsigned long long>(st.st_ino), oldSize, oldSize + bytes.size(), Checksum(bytes), *oldEnd};
  for (size_t level = 0; level < kHeadLengths.size(); ++level) note.heads[level] = Checksum(Head(bytes, level));
  if (!MakeNote(notePath, NoteText(note))) {
    const int code = errno;
    what = "Cannot write \"" + notePath + "\"";
    return code;
  }
  int code = 0;
  if (::lseek(fd, static_cast<off_t>(oldSize), SEEK_SET) < 0 || !WriteAllBytes(fd, bytes) || ::fdatasync(fd) != 0) {
    code = errno;
    what = "Cannot append to \"" + path + "\"";
    // A file that cannot be cut back keeps its note for the next touch.
    if (::ftruncate(fd, static_cast<off_t>(oldSize)) != 0 || ::fdatasync(fd) != 0) return code;
  }
  ::unlink(notePath.c_str());
  return code;
}

TornAppendMend MendTornAppend(const std::string& path) {
  const std::string notePath = AppendNotePath(path);
  struct stat noteStat {};
  if (::lstat(notePath.c_str(), &noteStat) != 0) return TornAppendMend::kNoNote;
  // A file that is gone needs no cut; one that cannot be opened keeps its note.
  const int fd = ::open(FileOf(path).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0 && errno != ENOENT) return TornAppendMend::kUnsettled;
  if (fd >= 0 ? !NoteOwnedForFile(noteStat, fd) : noteStat.st_uid != ::geteuid()) {
    if (fd >= 0) ::close(fd);
    return TornAppendMend::kNoNote;
  }
  // A note is whole before the file's first byte is written, so one that
  // does not read as a note stands for no torn append.
  const std::optional<Note> note = ReadNote(notePath);
  const TornAppendMend mend = fd < 0 || !note ? TornAppendMend::kNothingToCut : CutBack(fd, *note);
  if (fd >= 0) ::close(fd);
  if (mend != TornAppendMend::kUnsettled) ::unlink(notePath.c_str());
  return mend;
}

}  // namespace tessa
