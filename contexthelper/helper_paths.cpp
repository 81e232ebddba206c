#include "contexthelper/helper_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/file_helpers.h"
#include "common/text_helpers.h"
#include "contexthelper/helper_texts.h"
#include "platform/sibling_file.h"

namespace tessa::ferrowick {

namespace fs = std::filesystem;

namespace {

std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// A folder text by the root-folder rule: "/" ended, "" when it is too short
// or not a folder.
std::string FolderByRule(const std::string& folder) {
  const std::string f = WithTrailingSlash(folder);
  return f.size() <= 1 || !bIsFolder(f) ? "" : f;
}

// The device and inode of an existing file.
bool FileId(const std::string& path, std::pair<uint64_t, uint64_t>& id) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return true;
}

}  // namespace

ChosenFiles::ChosenFiles(const std::vector<std::string>& paths) {
  std::pair<uint64_t, uint64_t> id;
  for (const std::string& p : paths)
    if (FileId(p, id)) ids_.insert(id);
}

bool ChosenFiles::bContains(const std::string& path) const {
  std::pair<uint64_t, uint64_t> id;
  return FileId(path, id) && ids_.count(id) > 0;
}

bool bIsFolder(const std::string& path) { return !path.empty() && bFolderExists(path); }

std::string GetFolderOf(const std::string& path) {
  return FolderByRule(bIsFolder(path) ? path : GetParentFolderAsNamed(path));
}

std::string GetParentFolderOf(const std::string& path) { return FolderByRule(GetParentFolderAsNamed(path)); }

PathParts SplitPath(const std::string& path) {
  PathParts parts;
  const size_t slash = path.rfind('/');
  parts.folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  parts.name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = parts.name.rfind('.');
  parts.base = dot == std::string::npos ? parts.name : parts.name.substr(0, dot);
  parts.extension = dot == std::string::npos ? "" : parts.name.substr(dot + 1);
  return parts;
}

std::string PerFileOutputName(const std::string& input, const std::string& root, bool besideSource) {
  const PathParts parts = SplitPath(input);
  if (besideSource) return parts.folder + parts.base + ".PDF";
  std::string parent = GetParentFolderOf(input);
  if (parent.empty()) parent = parts.folder;
  const std::string base = !root.empty() && bStartsWith(parent, root) ? root : parent;
  const std::string folder = base + kOutputFolderName + "/" + parent.substr(base.size());
  if (!bIsFolder(folder)) MakeDirTree(folder);
  return folder + parts.base + ".PDF";
}

void MakeDirTree(const std::string& folder) {
  if (!folder.empty()) MakeFolderPath(folder);
}

bool bSameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(fs::path(a), fs::path(b), ec)) return true;
  return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
}

// A link as output keeps being a link: the file it names is set aside.
OldOutput::OldOutput(std::string path) : path_(WrittenPath(path)) {
  if (path_.empty()) {
    error_ = std::strerror(errno);  // a loop of links
    return;
  }
  aside_ = FreeSiblingName(path_);
  if (aside_.empty()) {
    error_ = "no free name beside it";
  } else if (::rename(path_.c_str(), aside_.c_str()) != 0) {
    error_ = std::strerror(errno);
    aside_.clear();
  }
}

OldOutput::~OldOutput() {
  // Whatever a failed conversion left in its place gives way to it.
  if (!aside_.empty()) ::rename(aside_.c_str(), path_.c_str());
}

void OldOutput::Drop() {
  if (!aside_.empty()) ::unlink(aside_.c_str());
  aside_.clear();
}

}  // namespace tessa::ferrowick
