#include "pdfcontrol/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include "pdfcontrol/file_descriptor.h"

namespace quirepane {

MappedFile::MappedFile(const std::string& path) {
  const FileDescriptor file(path, O_RDONLY);
  struct stat st {};
  if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return;
  void* map = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_SHARED, file.get(), 0);
  if (map == MAP_FAILED) return;
  data_ = static_cast<const unsigned char*>(map);
  size_ = static_cast<size_t>(st.st_size);
}

MappedFile::~MappedFile() {
  if (data_) ::munmap(const_cast<unsigned char*>(data_), size_);
}

void MappedFile::Release() const {
  if (data_) ::madvise(const_cast<unsigned char*>(data_), size_, MADV_DONTNEED);
}

}  // namespace quirepane
