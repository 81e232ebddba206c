#include "pdfcontrol/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/sibling_file.h"
#include "platform/text_file.h"
#include "platform/work_file_journal.h"

namespace quirepane {
namespace {

std::system_error Failure(const std::string& what, const std::string& path) { return tessa::SystemFailure(path, what); }

}  // namespace

ReplacementFile::ReplacementFile(const std::string& destination) : destination_(tessa::WrittenPath(destination)) {
  // A loop of links names no file to replace; the link stays as it is.
  if (destination_.empty()) throw Failure("Cannot write", destination);
  std::string folder = std::filesystem::path(destination_).parent_path().string();
  if (folder.empty()) folder = ".";
  std::string temp = tessa::SiblingTempPattern(destination_);
  const int fd = mkstemp(temp.data());
  if (fd < 0) throw Failure("Cannot create a temporary file in", folder);
  temp_ = temp;
  tessa::NoteWorkFile(temp_);
  file_ = fdopen(fd, "wb");
  if (!file_) {
    const std::system_error failure = Failure("Cannot open", temp_);
    close(fd);
    std::remove(temp_.c_str());
    throw failure;
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
