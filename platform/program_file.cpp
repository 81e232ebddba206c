#include "platform/program_file.h"

#include <filesystem>

namespace tessa {

std::string ProgramFilePath() {
  std::error_code ec;
  const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

std::string ProgramFileStem() { return std::filesystem::path(ProgramFilePath()).stem().string(); }

}  // namespace tessa
