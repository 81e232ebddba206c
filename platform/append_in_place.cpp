// The note's text is the file's inode, its length before the append, its
// length after it, the CRC-32 of the appended bytes and that of the last
// bytes before them (which tell that the file up to its old length is still
// the one noted), in hexadecimal. The note is a symbolic link holding that
// text: a link is made whole or not at all, and its short text lives in the
// records of the filesystem itself, which a journaling filesystem (ext4,
// XFS, btrfs) puts on disk in the order the changes were made, so the note
// reaches the disk no later than any growth of the file that follows it,
// without a flush of its own (one would make an append of a small image
// half as slow again). Where the folder takes no links (FAT, some network
// shares), the note is a plain file, flushed with its folder before the
// first byte.
#include "platform/append_in_place.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
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

struct Note {
  unsigned long long inode = 0, oldSize = 0, newSize = 0;
  unsigned long checksum = 0, oldEnd = 0;
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

std::string NoteText(const Note& note) {
  char text[96];
  std::snprintf(text, sizeof text, "%llx %llx %llx %lx %lx", note.inode, note.oldSize, note.newSize, note.checksum,
                note.oldEnd);
  return text;
}

std::optional<Note> ReadNote(const std::string& notePath) {
  std::string text(96, '\0');
  const ssize_t n = ::readlink(notePath.c_str(), text.data(), text.size() - 1);
  text = n >= 0 ? text.substr(0, static_cast<size_t>(n)) : errno == EINVAL ? ReadFileHead(notePath, 95) : "";
  Note note;
  if (std::sscanf(text.c_str(), "%llx %llx %llx %lx %lx", &note.inode, &note.oldSize, &note.newSize, &note.checksum,
                  &note.oldEnd) != 5)
    return std::nullopt;
  return note;
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

// Cuts the file open on fd, which a torn append left, back to the length
// noted before it: only when it is still the noted file, the same up to
// that length, and holds more than that length but not more than the
// append would have made, and not the whole append. False when such a cut
// failed, or a tail as long as the append could not be read to tell.
bool CutBack(int fd, const Note& note) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  const auto size = static_cast<unsigned long long>(st.st_size);
  if (st.st_ino != note.inode || size <= note.oldSize || size > note.newSize) return true;
  if (OldEndChecksum(fd, note.oldSize) != note.oldEnd) return true;
  if (size == note.newSize) {
    // A whole append stays; one that cannot be read to tell keeps its note.
    const std::optional<unsigned long> appended = FileChecksum(fd, note.oldSize, note.newSize);
    if (!appended || *appended == note.checksum) return appended.has_value();
  }
  return ::ftruncate(fd, static_cast<off_t>(note.oldSize)) == 0 && ::fdatasync(fd) == 0;
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
  const Note note{static_cast<unsigned long long>(st.st_ino), oldSize, oldSize + bytes.size(), Checksum(bytes), *oldEnd};
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

void MendTornAppend(const std::string& path) {
  const std::string notePath = AppendNotePath(path);
  struct stat st {};
  if (::lstat(notePath.c_str(), &st) != 0) return;
  // A note is whole before the file's first byte is written, so one that
  // does not read as a note stands for no torn append.
  const std::optional<Note> note = ReadNote(notePath);
  if (!note) {
    ::unlink(notePath.c_str());
    return;
  }
  // A file that is gone needs no cut; one that cannot be cut keeps its note.
  const int fd = ::open(FileOf(path).c_str(), O_RDWR | O_CLOEXEC);
  const bool mended = fd >= 0 ? CutBack(fd, *note) : errno == ENOENT;
  if (fd >= 0) ::close(fd);
  if (mended) ::unlink(notePath.c_str());
}

}  // namespace tessa
