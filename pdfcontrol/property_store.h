// The control's property values. They live once per thread, not once per
// control: every control on a thread reads and writes the same store.
#pragma once

#include <string>

namespace quirepane {

struct PropertyStore {
  std::string SourceFile;
  long FileType = 0;  // a CR_FileType value
  std::string DestinationFile;
  bool AppendToExisting = false;
  std::string PDFTitle;
  std::string PDFAuthor;
  std::string PDFSubject;
  std::string PDFKeyword;
  std::string PDFCreator;
};

// The calling thread's store.
PropertyStore& CurrentPropertyStore();

}  // namespace quirepane
