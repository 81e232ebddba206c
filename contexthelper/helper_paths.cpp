#include "contexthelper/helper_paths.h"

#include <filesystem>
#include <system_error>

#include "common/file_helpers.h"
#include "common/text_helpers.h"
#include "contexthelper/helper_texts.h"

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

}  // namespace

bool bIsFolder(const std::string& path) { return !path.empty() && bFolderExists(ToForwardSlashes(path)); }

std::string GetFolderOf(const std::string& path) {
  const std::string p = ToForwardSlashes(path);
  return FolderByRule(bIsFolder(p) ? p : GetParentFolder(p));
}

std::string GetParentFolderOf(const std::string& path) { return FolderByRule(GetParentFolder(ToForwardSlashes(path))); }

PathParts SplitPath(const std::string& path) {
  const std::string p = ToForwardSlashes(path);
  PathParts parts;
  const size_t slash = p.rfind('/');
  parts.folder = slash == std::string::npos ? "" : p.substr(0, slash + 1);
  parts.name = slash == std::string::npos ? p : p.substr(slash + 1);
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
  if (!folder.empty()) MakeFolderPath(ToForwardSlashes(folder));
}

bool bSameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(fs::path(a), fs::path(b), ec)) return true;
  return fs::path(ToForwardSlashes(a)).lexically_normal() == fs::path(ToForwardSlashes(b)).lexically_normal();
}

std::string RemoveOutputFile(const std::string& path) {
  bSetAttributesMasked(path, ~static_cast<long>(kAttrReadOnly));
  std::error_code ec;
  fs::remove(fs::path(path), ec);
  if (ec) return ec.message();
  return bPathExists(path) ? "the file is still there" : "";
}

}  // namespace tessa::ferrowick
