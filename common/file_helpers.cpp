// File and folder helpers over POSIX and std::filesystem. Nothing here
// throws: every std::filesystem call uses its error_code form.
#include "common/file_helpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

#include "common/path_macros.h"
#include "common/settings_file.h"
#include "common/text_helpers.h"
#include "platform/sibling_file.h"
#include "platform/known_folders.h"
#include "platform/text_file.h"

namespace fs = std::filesystem;

namespace tessa {

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

constexpr long long kDateEpochOffset = 25569;  // 1899-12-30 to 1970-01-01

double DateFromFields(const std::tm& tm) {
  const long long days = DaysFromCivil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) + kDateEpochOffset;
  return static_cast<double>(days) + (tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec) / 86400.0;
}

double DateFromUnix(std::time_t t, bool local) {
  std::tm tm{};
  if (local) localtime_r(&t, &tm);
  else gmtime_r(&t, &tm);
  return DateFromFields(tm);
}

bool UnixFromDate(double date, bool local, std::time_t& out) {
  if (!std::isfinite(date)) return false;
  const long long totalSeconds = std::llround(date * 86400.0) - kDateEpochOffset * 86400;
  if (!local) {
    out = static_cast<std::time_t>(totalSeconds);
    return true;
  }
  // The date's fields as if UTC, then read them back as local time.
  std::time_t asUtc = static_cast<std::time_t>(totalSeconds);
  std::tm tm{};
  if (!gmtime_r(&asUtc, &tm)) return false;
  tm.tm_isdst = -1;
  out = std::mktime(&tm);
  return out != static_cast<std::time_t>(-1) || totalSeconds == -1;
}

std::string WithSlash(std::string s) {
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

bool IsRegularFile(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// path as the absolute path it names: taken against the current folder when
// it has no root, "." parts dropped and ".." parts taken back, never above
// the root. Parts are names: " .." is a folder of that name.
std::string TidyPath(const std::string& path) {
  const std::string root = GetDriveRoot(path, false);
  if (root.empty()) return path.empty() ? "" : GetAbsolutePath(path);
  std::vector<std::string> parts;
  for (const std::string& part : SplitText(path.substr(root.size()), '/')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out = root;
  for (const std::string& part : parts) out += (out.back() == '/' ? "" : "/") + part;
  return out;
}

// Copies src to a fresh temporary file beside target and checks its size;
// the copy's name, or "" when it failed. The source stays in place.
std::string CheckedCopyBeside(const std::string& src, const std::string& target) {
  const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return "";
  struct stat st{};
  if (::fstat(in, &st) != 0) {
    ::close(in);
    return "";
  }
  std::string tmp = SiblingTempPattern(target);
  const int out = ::mkstemp(tmp.data());
  if (out < 0) {
    ::close(in);
    return "";
  }
  bool ok = true;
  long long copied = 0;
  char buf[65536];
  while (ok) {
    const ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    ok = WriteAllBytes(out, std::string_view(buf, static_cast<size_t>(n)));
    copied += n;
  }
  ::close(in);
  ok = ok && copied == st.st_size && ::fchmod(out, st.st_mode & 07777) == 0 && ::fsync(out) == 0;
  const timespec times[2] = {st.st_atim, st.st_mtim};
  if (ok) ::futimens(out, times);
  if (::close(out) != 0) ok = false;
  struct stat check{};
  ok = ok && ::stat(tmp.c_str(), &check) == 0 && check.st_size == st.st_size;
  if (ok) return tmp;
  ::unlink(tmp.c_str());
  return "";
}

// Gives the file from the name to, never replacing a file there: 0, or the
// error number (EEXIST when to is taken).
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  // A file system without that kind of rename: a second name, then the
  // first goes; without links either, a rename once the name is seen free.
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno != EPERM && errno != ENOTSUP) return errno;
  struct stat st{};
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// The n-th name tried for a file moved into a folder: its own, then
// "base (n).ext".
std::string NumberedName(const fs::path& name, int n) {
  if (n == 1) return name.string();
  return name.stem().string() + " (" + std::to_string(n) + ")" + name.extension().string();
}

}  // namespace

bool bGetFileTimes(const std::string& sPath, double& dCreated, double& dAccessed, double& dModified,
                   bool bLocal) {
  struct statx sx{};
  if (sPath.empty() || ::statx(AT_FDCWD, sPath.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
    return true;
  const std::time_t born = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : sx.stx_mtime.tv_sec;
  dCreated = DateFromUnix(born, bLocal);
  dAccessed = DateFromUnix(sx.stx_atime.tv_sec, bLocal);
  dModified = DateFromUnix(sx.stx_mtime.tv_sec, bLocal);
  return false;
}

bool bSetFileTimes(const std::string& sPath, double /*dCreated*/, double dAccessed, double dModified,
                   bool bLocal) {
  timespec times[2]{};
  std::time_t a, m;
  if (sPath.empty() || !UnixFromDate(dAccessed, bLocal, a) || !UnixFromDate(dModified, bLocal, m))
    return true;
  times[0].tv_sec = a;
  times[1].tv_sec = m;
  return ::utimensat(AT_FDCWD, sPath.c_str(), times, 0) != 0;
}

bool bFileExists(const std::string& sPath) { return !sPath.empty() && IsRegularFile(sPath); }

bool bFolderExists(const std::string& sFolder) {
  struct stat st{};
  return !sFolder.empty() && ::stat(sFolder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool bPathExists(const std::string& sPath) {
  struct stat st{};
  return !sPath.empty() && ::stat(sPath.c_str(), &st) == 0;
}

bool bSetAttributesMasked(const std::string& sPath, long lMask) {
  struct stat st{};
  if (sPath.empty() || ::stat(sPath.c_str(), &st) != 0) return false;
  long attrs = S_ISDIR(st.st_mode) ? static_cast<long>(kAttrDirectory) : 0L;
  if (!(st.st_mode & S_IWUSR)) attrs |= kAttrReadOnly;
  const long wanted = attrs & lMask;
  mode_t mode = st.st_mode & 07777;
  mode = (wanted & kAttrReadOnly) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
  return mode == (st.st_mode & 07777) || ::chmod(sPath.c_str(), mode) == 0;
}

bool bDeleteFile(const std::string& sPath) {
  struct stat st{};
  if (sPath.empty() || ::lstat(sPath.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return false;
  if (!S_ISLNK(st.st_mode)) bSetAttributesMasked(sPath, ~static_cast<long>(kAttrReadOnly));
  if (::unlink(sPath.c_str()) != 0) return false;
  return ::lstat(sPath.c_str(), &st) != 0 && errno == ENOENT;
}

bool bDeleteFileWithRetry(const std::string& sPath, int attempts, std::chrono::milliseconds wait) {
  struct stat st{};
  if (sPath.empty()) return false;
  for (int tried = 0;; ) {
    if (::lstat(sPath.c_str(), &st) != 0) return errno == ENOENT;  // gone, or cannot be examined
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      return false;
    }
    if (bDeleteFile(sPath)) return true;
    // Only a busy file may come free later; a refused unlink stays refused.
    if (errno != EBUSY && errno != ETXTBSY && errno != EINTR) return false;
    if (++tried >= attempts) return false;
    std::this_thread::sleep_for(wait);
  }
}

void MakeFolderPath(const std::string& sFolder) {
  if (sFolder.empty()) return;
  std::error_code ec;
  fs::create_directories(sFolder, ec);
}

std::string GetAbsolutePath(const std::string& sPath) {
  std::error_code ec;
  const fs::path abs = fs::absolute(sPath, ec);
  if (ec) return "";
  std::string s = abs.lexically_normal().string();
  if (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

bool CopyFolderFSO(const std::string& sSource, const std::string& sDestination, bool bOverwrite) {
  if (!bFolderExists(sSource) || sDestination.empty()) return false;
  std::error_code ec;
  fs::create_directories(sDestination, ec);
  ec.clear();
  auto options = fs::copy_options::recursive;
  if (bOverwrite) options |= fs::copy_options::overwrite_existing;
  fs::copy(sSource, sDestination, options, ec);
  return !ec;
}

std::string GetFileNameFromPath(const std::string& sPath) {
  std::string path = TypedPath(sPath);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const auto slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "/") return "";
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return name + ".";
  return name;
}

std::string GetParentFolder(const std::string& sPath) { return GetParentFolderAsNamed(TypedPath(sPath)); }

std::string GetParentFolderAsNamed(const std::string& sPath) {
  std::string path = sPath;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos || path == "/") return "";
  if (slash == 0) return "/";
  std::string parent = path.substr(0, slash);
  while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
  return parent;
}

std::string GetParentFolderUNC(const std::string& sPath) {
  const std::string parent = GetParentFolder(sPath);
  const std::string path = TypedPath(sPath);
  if (!TrimBlanks(parent).empty() && !(parent == "/" && path.rfind("//", 0) == 0)) return parent;
  if (path.find("//") == std::string::npos) return parent;
  return TrimBlanks(path.substr(0, path.find_last_of('/')));
}

std::string GetDriveRoot(const std::string& sPath, bool bAddBackslash) {
  const std::string path = TypedPath(sPath);
  std::string root;
  if (path.rfind("//", 0) == 0 && path.size() > 2 && path[2] != '/') {
    const auto parts = SplitText(path.substr(2), '/');
    if (parts.size() >= 2 && !parts[0].empty() && !parts[1].empty())
      root = "//" + parts[0] + "/" + parts[1];
  } else if (!path.empty() && path[0] == '/') {
    return "/";
  }
  if (bAddBackslash && !root.empty()) root += '/';
  return root;
}

std::string GetDeepestExistingFolder(const std::string& sPath) {
  const std::string path = TidyPath(TypedPath(sPath));
  if (path.empty()) return "";
  const std::string root = GetDriveRoot(path, false);
  if (root.empty() || !bPathExists(root)) return "";
  const std::string rest = TrimCharsFromEnds(path.substr(root.size()), "/");
  std::string current = root;
  for (const std::string& part : SplitText(rest, '/')) {
    if (TrimBlanks(part).empty()) continue;
    const std::string next = (current == "/" ? "/" : current + "/") + part;
    if (!bFolderExists(next)) break;
    current = next;
  }
  return current;
}

bool bMoveFileToFolder(const std::string& sFile, std::string& sFolder, std::string* psMovedTo) {
  constexpr int kMostNumberedNames = 10000;
  if (sFolder.empty() || sFolder.back() != '/') sFolder += '/';
  const std::string folder = sFolder;
  const fs::path name = fs::path(sFile).filename();
  if (name.empty() || !IsRegularFile(sFile)) return false;
  std::error_code ec;
  if (!bFolderExists(folder)) {
    fs::create_directories(folder, ec);
    if (!bFolderExists(folder)) {
      errno = ec ? ec.value() : ENOTDIR;
      return false;
    }
  }
  const std::string same = folder + name.string();
  if (bPathExists(same) && fs::equivalent(sFile, same, ec)) {  // already there
    if (psMovedTo) *psMovedTo = same;
    return true;
  }
  std::string copy;  // across file systems: the checked copy that takes the name
  int why = EEXIST;  // every numbered name taken
  for (int n = 1; n <= kMostNumberedNames;) {
    const std::string target = folder + NumberedName(name, n);
    const int err = RenameNoReplace(copy.empty() ? sFile : copy, target);
    if (err == 0) {
      if (psMovedTo) *psMovedTo = target;
      return copy.empty() || bDeleteFile(sFile);
    }
    if (err == EEXIST) {
      ++n;
    } else if (err == EXDEV && copy.empty()) {
      copy = CheckedCopyBeside(sFile, target);
      if (copy.empty()) return false;  // errno: the copy's failure
    } else {
      why = err;
      break;
    }
  }
  if (!copy.empty()) ::unlink(copy.c_str());
  errno = why;
  return false;
}

bool bFolderIsWriteable(const std::string& sFolder) {
  if (TrimBlanks(sFolder).empty()) return false;
  const std::string deepest = GetDeepestExistingFolder(sFolder);
  if (deepest.empty()) return false;
  const std::string name = GetUniqueTempFileName(deepest, "", "");
  if (name.empty()) return false;
  // Want of room (a full disk, a quota, a file-size limit) is no refusal of
  // the folder: the write that meets it says so itself.
  const auto noRoom = [] { return errno == ENOSPC || errno == EDQUOT || errno == EFBIG; };
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return noRoom();
  static const char kProbe[] = "Hello World\r\n";
  const bool ok = ::write(fd, kProbe, sizeof kProbe - 1) >= 0 || noRoom();  // a short write ran out of room
  ::close(fd);
  ::unlink(name.c_str());
  return ok;
}

std::string GetUniqueTempFileName(const std::string& sFolder, const std::string& sPrefix,
                                  const std::string& sExtension) {
  const std::string prefix = TrimBlanks(sPrefix);
  std::string extension = TrimBlanks(sExtension);
  if (extension.empty()) extension = "tmp";
  if (prefix.size() > 8) return "";
  std::string folder = sFolder;
  if (folder.empty()) {
    std::error_code ec;
    folder = fs::temp_directory_path(ec).string();
    if (ec || folder.empty()) folder = ProgramFolder();
  }
  folder = WithSlash(folder);
  const size_t digits = 8 - prefix.size();
  long long tries = 1;
  for (size_t k = 0; k < digits && tries < 100000; ++k) tries *= 10;
  static thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<long long> pick(0, 99999999);
  for (long long t = 0; t < tries; ++t) {
    std::string s = std::to_string(pick(random)).substr(0, digits);
    if (digits == 0) s.clear();
    const std::string candidate = folder + prefix + s + "." + extension;
    struct stat st{};
    if (::lstat(candidate.c_str(), &st) != 0 && errno == ENOENT) return candidate;
  }
  return "";
}

long CheckOutputFolder(const std::string& sFolder, std::string& sRecommended, std::string& vMessage) {
  long status = kOutputFolderUsable;
  std::string trimmed = TrimBlanks(sFolder);
  const std::string f = ToForwardSlashes(ExpandPathMacros(trimmed));
  sRecommended = WithSlash(f);
  const std::string docs = WithSlash(GetSpecialFolderPath(CSIDL_PERSONAL));
  const std::string deepest = GetDeepestExistingFolder(f);
  // The folder as the absolute path that was judged, its offending prefix
  // replaced by the documents folder.
  auto replaceFirst = [&](const std::string& prefix) {
    const std::string judged = WithSlash(TidyPath(f));
    if (judged.rfind(prefix, 0) == 0) {
      sRecommended = docs + judged.substr(prefix.size());
      return;
    }
    const auto at = sRecommended.find(prefix);
    if (at != std::string::npos) sRecommended.replace(at, prefix.size(), docs);
  };
  if (deepest.empty()) {
    status = kOutputFolderUnknown;
    vMessage = "Output folder has an unknown status. Error: \"" + f + "\" is not a usable path";
  } else {
    const std::string t = WithSlash(deepest);
    static const char* const kSystemFolders[] = {"/usr/", "/etc/", "/bin/", "/sbin/", "/lib/",
                                                 "/boot/", "/proc/", "/sys/", "/dev/", "/opt/"};
    std::string systemPrefix;
    for (const char* p : kSystemFolders)
      if (t.rfind(p, 0) == 0) systemPrefix = p;
    const std::string home = GetSpecialFolderPath(CSIDL_PROFILE);
    const std::string users = home == "(error)" ? "" : WithSlash(GetParentFolder(home));
    if (!systemPrefix.empty()) {
      replaceFirst(systemPrefix);
      status = kOutputFolderSystem;
      vMessage = "Output folder is a system folder and should not be used.";
    } else if (t == "/") {
      replaceFirst("/");
      status = kOutputFolderRoot;
      vMessage = "Output folder: You should not write or create sub directories in the system root directory.";
    } else if (t == "/home/" || (!users.empty() && users != "/" && t == users)) {
      replaceFirst(t);
      status = kOutputFolderProtected;
      vMessage = "Output folder is a protected folder and should not be used.";
    } else if (!bFolderIsWriteable(t)) {
      sRecommended = docs;
      status = kOutputFolderNotWriteable;
      vMessage = "Output folder is not writeable.";
    }
  }
  if (!sRecommended.empty() && sRecommended.back() == '/' && sRecommended != "/") sRecommended.pop_back();
  return status;
}

}  // namespace tessa
