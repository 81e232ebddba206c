// The control's temporary working files: a zero-length placeholder made
// unique by the system in the temporary folder (name prefix "PCR"), and the
// working image named like it with ".jpg" or ".bmp" added. Both go when the
// object goes, on every road. The placeholder is claimed while it lives;
// the first conversion of a process removes the unclaimed ones (and their
// working images) that killed processes left in the temporary folder.
#pragma once

#include <string>

#include "platform/temp_file_claim.h"

namespace quirepane {

// The temporary folder: $TMPDIR when set, else /tmp; ends without "/".
std::string GetTempFolder();

// Removes, once a process, the work files killed processes left behind.
void RemoveAbandonedWorkFilesOnce();

class TempWorkFile {
 public:
  // Creates the placeholder; the working file is placeholder + extension
  // (".jpg" or ".bmp") and is not created. Throws std::runtime_error when
  // the placeholder cannot be made.
  explicit TempWorkFile(const std::string& extension);
  ~TempWorkFile();
  TempWorkFile(const TempWorkFile&) = delete;
  TempWorkFile& operator=(const TempWorkFile&) = delete;

  const std::string& path() const { return working_; }
  const std::string& placeholder() const { return placeholder_; }

  // Deletes the working file and then the placeholder, when they exist.
  void Remove();

 private:
  std::string placeholder_;
  std::string working_;
  tessa::TempFileClaim claim_;
};

}  // namespace quirepane
