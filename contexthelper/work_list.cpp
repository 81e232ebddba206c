#include "contexthelper/work_list.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

#include "common/text_helpers.h"
#include "contexthelper/helper_paths.h"

namespace tessa::ferrowick {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 21> kFolderImageExtensions = {
    "JPG", "JPEG", "BMP", "TIF", "TIFF", "GIF", "PCX", "PNG", "RAS", "TGZ", "JNG",
    "KOA", "LBM", "MNG", "PBM", "PCD", "PGM", "PPM", "WBMP", "PSD", "CUT"};

// Entries listed in a steady order: by name without regard to case, then by
// name.
void SortByName(std::vector<fs::path>& paths) {
  std::sort(paths.begin(), paths.end(), [](const fs::path& a, const fs::path& b) {
    const std::string na = a.filename().string(), nb = b.filename().string();
    const std::string ua = ToUpperAscii(na), ub = ToUpperAscii(nb);
    return ua != ub ? ua < ub : na < nb;
  });
}

}  // namespace

bool bIsFolderImage(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string ext = ToUpperAscii(name.substr(dot + 1));
  return std::find(kFolderImageExtensions.begin(), kFolderImageExtensions.end(), ext) != kFolderImageExtensions.end();
}

void AddImageFilesInFolder(const std::string& folder, std::vector<std::string>& list, bool subfolders) {
  std::vector<fs::path> files, folders;
  std::error_code ec;
  for (fs::directory_iterator it(fs::path(folder), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kind;
    const std::string name = it->path().filename().string();
    if (it->is_directory(kind)) {
      if (!it->is_symlink(kind) && name.rfind('.', 0) != 0) folders.push_back(it->path());
    } else if (it->is_regular_file(kind) && bIsFolderImage(name)) {
      files.push_back(it->path());
    }
  }
  SortByName(files);
  for (const fs::path& f : files) list.push_back(f.generic_string());
  if (!subfolders) return;
  SortByName(folders);
  for (const fs::path& sub : folders) AddImageFilesInFolder(sub.generic_string(), list, true);
}

std::vector<std::string> BuildWorkList(const std::vector<std::string>& chosen, bool subfolders) {
  std::vector<std::string> list;
  for (size_t i = 1; i < chosen.size(); ++i) {
    if (bIsFolder(chosen[i]))
      AddImageFilesInFolder(chosen[i], list, subfolders);
    else
      list.push_back(chosen[i]);
  }
  return list;
}

}  // namespace tessa::ferrowick
