#include "shellmenu/menu_selection.h"

#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "common/text_helpers.h"

namespace tessa {
namespace {

constexpr std::array<std::string_view, 23> kAcceptedTypes = {
    "ICO", "JPG", "JPEG", "BMP", "TIF", "TIFF", "GIF", "PCX", "PNG", "RAS", "TGZ", "JNG",
    "KOA", "LBM", "MNG", "PBM", "PCD", "PGM", "PPM", "WBMP", "PSD", "CUT", "PDF"};

}  // namespace

bool bIsAcceptedFileName(const std::string& sPath) {
  const std::string ext = ToUpperAscii(GetFileExtension(sPath));
  if (ext.empty()) return false;
  for (std::string_view t : kAcceptedTypes) {
    if (ext == t) return true;
  }
  return false;
}

bool bIsFolder(const std::string& sPath) {
  std::error_code ec;
  const auto st = std::filesystem::status(sPath, ec);
  if (ec) {
    // Only "not there" (a missing path or a missing folder on the way) says no.
    return !(ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory);
  }
  return std::filesystem::is_directory(st);
}

bool MenuSelection::Initialize(const std::vector<std::string>& paths) {
  items_.clear();
  bFolder_ = false;
  if (paths.size() > kMaxItems) return false;
  for (const std::string& raw : paths) {
    if (raw.empty()) continue;
    // A path the file manager hands over is as the system names it.
    std::string path = raw;
    if (bIsFolder(path)) {
      if (path.back() != '/') path += '/';
      items_.push_back(path);
      bFolder_ = true;
    } else if (bIsAcceptedFileName(path)) {
      items_.push_back(path);
    }
  }
  return true;
}

std::string MenuSelection::FileName(int index) const {
  if (index < 0 || index >= FileCount()) return "";
  return items_[static_cast<std::size_t>(index)];
}

std::string MenuSelection::FileNameShort(int index) const {
  const std::string name = FileName(index);
  const auto slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace tessa
