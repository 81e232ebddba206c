// A file written beside its destination under a temporary name and renamed
// over it only once it is complete and flushed, so that a failed write never
// touches the old file. A destination that is a symbolic link stays one:
// the file it names is replaced.
#pragma once

#include <cstdio>
#include <string>

namespace quirepane {

class ReplacementFile {
 public:
  // Creates the temporary file in destination's folder. Throws
  // std::system_error (naming the folder, with the system's reason) when it
  // cannot, also when destination is a loop of links.
  explicit ReplacementFile(const std::string& destination);
  // Removes the temporary file unless Commit succeeded.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // The open temporary file to write to; owned by this object.
  FILE* file() const { return file_; }
  const std::string& temporaryPath() const { return temp_; }

  // Flushes the file to disk, gives it the old destination's mode (or the
  // usual mode of a new file) and renames it over the destination. Throws
  // std::system_error naming the file, with the system's reason, on failure.
  void Commit();

 private:
  std::string destination_;
  std::string temp_;
  FILE* file_ = nullptr;
  bool committed_ = false;
};

}  // namespace quirepane
