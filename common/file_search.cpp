#include "common/file_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

#include "common/text_helpers.h"

namespace tessa {

namespace {

// Splits UTF-8 text into characters (a broken byte counts as one), so that
// "?" stands for one character, not one byte.
std::u32string Characters(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > s.size()) len = 1;
    for (size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
        len = 1;
        break;
      }
    }
    char32_t cp = 0;
    for (size_t k = 0; k < len; ++k) cp = (cp << 8) | static_cast<unsigned char>(s[i + k]);
    if (len == 1 && c >= 'A' && c <= 'Z') cp = c - 'A' + 'a';
    out.push_back(cp);
    i += len;
  }
  return out;
}

std::string ErrorText(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return "Path Not Found.";
    case EACCES:
    case EPERM: return "Access Denied.";
    default: return std::strerror(err);
  }
}

int32_t ErrorNumber(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return kErrPathNotFound;
    case EACCES:
    case EPERM: return kErrAccessDenied;
    default: return err;
  }
}

}  // namespace

bool MatchesFileMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  const auto n = Characters(name);
  const auto m = Characters(mask);
  // Greedy match with one backtrack point at the last "*".
  size_t i = 0, j = 0, starJ = std::string::npos, starI = 0;
  while (i < n.size()) {
    if (j < m.size() && (m[j] == U'?' || m[j] == n[i])) {
      ++i;
      ++j;
    } else if (j < m.size() && m[j] == U'*') {
      starJ = j++;
      starI = i;
    } else if (starJ != std::string::npos) {
      j = starJ + 1;
      i = ++starI;
    } else {
      return false;
    }
  }
  while (j < m.size() && m[j] == U'*') ++j;
  return j == m.size();
}

void CFileSearch::SetError(int32_t number, const std::string& text) {
  lastErrorNumber_ = number;
  lastErrorDescription_ = text;
}

int32_t CFileSearch::BuildFileList(const std::string& spath, bool bSearchSubfolders, bool bContinueOnError) {
  SetError(0, "");
  std::string path = ToForwardSlashes(spath);
  if (path.size() < 3) {
    SetError(kErrPathTooShort, "The Invalid path or filename provided.");
    return lastErrorNumber_;
  }
  if (path[1] == ':' && path[2] != '/') path = path.substr(0, 2) + "/" + path.substr(2);
  const size_t cut = path.rfind('/');
  if (cut == std::string::npos) {
    SetError(kErrInvalidPath, "Invalid path or filename provided.");
    return lastErrorNumber_;
  }
  const std::string folder = path.substr(0, cut + 1);
  const std::string mask = path.substr(cut + 1);
  if (TrimBlanks(mask).empty()) {
    SetError(kErrNoFileMask,
             "No file mask/pattern detected. Please provide a path followed by a mask/pattern i.e. "
             "c:\\myfile*.d??");
    return lastErrorNumber_;
  }
  return BuildFileList1(folder, mask, bSearchSubfolders, false, bContinueOnError);
}

int32_t CFileSearch::BuildFileList1(const std::string& spath, const std::string& sFileMask,
                                    bool bSearchSubfolders, bool bExclude, bool bContinueOnError) {
  SetError(0, "");
  std::string folder = ToForwardSlashes(spath);
  if (folder.empty() || folder.back() != '/') folder += '/';
  mask_ = sFileMask;
  bSearchSubfolders_ = bSearchSubfolders;
  bContinueOnError_ = bContinueOnError;
  keepMatching_ = !bExclude;
  totalSearched_ = 0;
  files_.clear();

  const auto start = std::chrono::steady_clock::now();
  SearchFolder(folder);
  const auto end = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(end - start).count();
  elapsed_ = static_cast<float>(std::round(seconds * 100.0) / 100.0);
  return lastErrorNumber_;
}

void CFileSearch::SearchFolder(const std::string& folder) {
  if (lastErrorNumber_ != 0 && !bContinueOnError_) return;

  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    const int err = errno;
    SetError(ErrorNumber(err), ErrorText(err));
    return;
  }
  // Read the whole folder first, so the walk sees its entries in a fixed
  // order whatever the file system gives, and holds one folder open at a time.
  std::vector<std::string> names;
  while (dirent* e = readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.emplace_back(e->d_name);
  }
  const int fd = dirfd(dir);
  std::sort(names.begin(), names.end());

  struct Entry {
    std::string name;
    bool isFolder;
    int64_t size;
  };
  std::vector<Entry> entries;
  entries.reserve(names.size());
  for (auto& name : names) {
    struct stat st {};
    if (fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      entries.push_back({std::move(name), true, 0});
      continue;
    }
    // A link counts as what it points to; a link to a folder is never
    // followed, so the walk can't run in circles.
    if (S_ISLNK(st.st_mode) && fstatat(fd, name.c_str(), &st, 0) != 0) continue;
    if (!S_ISREG(st.st_mode)) continue;  // folders behind links, pipes, devices
    entries.push_back({std::move(name), false, static_cast<int64_t>(st.st_size)});
  }
  closedir(dir);

  // A mask without "*" or "?" names one file: on a file system that tells
  // letter case apart, "scan.tif" must not also bring "SCAN.TIF".
  const bool bNamesOneFile = mask_.find_first_of("*?") == std::string::npos;
  for (const auto& e : entries) {
    if (e.isFolder) {
      if (e.name.front() != '.' && bSearchSubfolders_) SearchFolder(folder + e.name + "/");
      continue;
    }
    ++totalSearched_;
    const bool bMatches = bNamesOneFile ? e.name == mask_ : MatchesFileMask(e.name, mask_);
    if (bMatches == keepMatching_) files_.emplace_back(folder + e.name, e.size);
  }
}

}  // namespace tessa
