#include "platform/program_data_folder.h"

#include <filesystem>

namespace tessa {

std::string ProgramDataFolderBeside(const std::string& exeFolder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exe = fs::path(exeFolder).lexically_normal();
  const fs::path shared = (exe / ".." / "share" / "tessaprint").lexically_normal();
  fs::path chosen = fs::is_directory(shared, ec) ? shared : exe;
  std::string text = chosen.generic_string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string ProgramDataFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return "";
  return ProgramDataFolderBeside(exe.parent_path().string());
}

}  // namespace tessa
