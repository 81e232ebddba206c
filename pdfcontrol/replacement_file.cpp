#include "pdfcontrol/replacement_file.h"

#include "platform/sibling_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace quirepane {
namespace {

std::runtime_error Failure(const std::string& what, const std::string& path) {
  return std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& destination) : destination_(destination) {
  std::string folder = std::filesystem::path(destination).parent_path().string();
  if (folder.empty()) folder = ".";
  const std::string pattern = tessa::SiblingTempPattern(destination);
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) throw Failure("Cannot create a temporary file in", folder);
  temp_ = buffer.data();
  file_ = fdopen(fd, "wb");
  if (!file_) {
    close(fd);
    std::remove(temp_.c_str());
    throw Failure("Cannot open", temp_);
  }
}

ReplacementFile::~ReplacementFile() {
  if (file_) std::fclose(file_);
  if (!committed_) std::remove(temp_.c_str());
}

void ReplacementFile::Commit() {
  // ferror catches a write that failed inside a flush the writer made itself.
  if (std::fflush(file_) != 0 || std::ferror(file_) || fsync(fileno(file_)) != 0) throw Failure("Cannot write", temp_);
  const mode_t mode = tessa::ReplacementFileMode(destination_);
  fchmod(fileno(file_), mode);
  const int rc = std::fclose(file_);
  file_ = nullptr;
  if (rc != 0) throw Failure("Cannot write", temp_);
  if (std::rename(temp_.c_str(), destination_.c_str()) != 0) throw Failure("Cannot replace", destination_);
  committed_ = true;
}

}  // namespace quirepane
