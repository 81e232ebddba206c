// A regular file mapped read-only into memory for a scope: readers that jump
// about a file (a TIFF's page directories) take its bytes from there instead
// of seeking a buffered stream.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quirepane {

class MappedFile {
 public:
  // Maps the file at path; empty() when it cannot be opened or mapped, is
  // no regular file or holds nothing.
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool empty() const { return size_ == 0; }
  const unsigned char* data() const { return data_; }
  size_t size() const { return size_; }
  std::string_view bytes() const { return {reinterpret_cast<const char*>(data_), size_}; }

  // Lets the system drop the pages read so far; they are read again if needed.
  void Release() const;

 private:
  const unsigned char* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace quirepane
