// Recursive file search: a folder and a wildcard mask ("*" and "?", any
// letter case), optionally with subfolders, turned into the list of matching
// files with their sizes, and how many files were looked at.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessa {

// One found file.
class CFile {
 public:
  CFile() = default;
  CFile(std::string filename, int64_t size) : filename_(std::move(filename)), size_(size) {}

  // Full path: the folder as searched followed by the file name.
  const std::string& Filename() const { return filename_; }
  void SetFilename(const std::string& s) { filename_ = s; }
  // Size in bytes.
  int64_t FileSize() const { return size_; }
  void SetFileSize(int64_t n) { size_ = n; }

 private:
  std::string filename_;
  int64_t size_ = 0;
};

// Error numbers of the argument checks.
inline constexpr int32_t kErrNoFileMask = static_cast<int32_t>(0x80040201u);
inline constexpr int32_t kErrInvalidPath = static_cast<int32_t>(0x80040202u);
inline constexpr int32_t kErrPathTooShort = static_cast<int32_t>(0x80040203u);

// Error numbers of a folder that cannot be read.
inline constexpr int32_t kErrFileNotFound = 2;
inline constexpr int32_t kErrPathNotFound = 3;
inline constexpr int32_t kErrAccessDenied = 5;

// True when name matches mask: "*" any run of characters, "?" exactly one,
// letters compared without regard to case; "*.*" matches every name.
bool MatchesFileMask(std::string_view name, std::string_view mask);

class CFileSearch {
 public:
  // Splits spath ("folder/mask"; "\" reads as "/") into folder and mask and
  // searches it, keeping matching files. Returns 0 or the error number, which
  // LastErrorNumber also holds.
  int32_t BuildFileList(const std::string& spath, bool bSearchSubfolders, bool bContinueOnError);

  // Searches spath for sFileMask; with bExclude only files that do not match
  // are kept. A mask without "*" or "?" matches only the name as written. Without bContinueOnError the first folder that cannot be read
  // ends the walk; with it the walk goes on and the last such error remains.
  // Files found before an error stay listed. Returns LastErrorNumber.
  int32_t BuildFileList1(const std::string& spath, const std::string& sFileMask, bool bSearchSubfolders,
                         bool bExclude, bool bContinueOnError);

  int32_t TotalSearched() const { return totalSearched_; }
  int32_t TotalFound() const { return static_cast<int32_t>(files_.size()); }
  // Seconds, rounded to two decimals.
  float ElapsedTime() const { return elapsed_; }
  const std::vector<CFile>& Files() const { return files_; }
  int32_t LastErrorNumber() const { return lastErrorNumber_; }
  const std::string& LastErrorDescription() const { return lastErrorDescription_; }

 private:
  void SearchFolder(const std::string& folder);
  void SetError(int32_t number, const std::string& text);

  std::string mask_;
  bool bSearchSubfolders_ = false;
  bool bContinueOnError_ = false;
  bool keepMatching_ = true;
  int32_t totalSearched_ = 0;
  std::vector<CFile> files_;
  float elapsed_ = 0.0f;
  int32_t lastErrorNumber_ = 0;
  std::string lastErrorDescription_;
};

}  // namespace tessa
