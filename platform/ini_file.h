// Reading and writing keys of INI files ("[section]" lines and "key=value"
// lines). Several processes may write the same file at once: every write is
// a read-modify-write under an exclusive lock that lands by a rename, so no
// process loses another's key and readers never see a half-written file.
// Each file is read once while it stays unchanged: the process keeps the
// text it last read or wrote and opens the file again only when its
// identity, size or times show another version.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// The value of key in section of the INI file at path, or def when the file,
// the section or the key is missing. Section and key names match without
// regard to case and the first match wins; the value is trimmed and one pair
// of surrounding quotes is removed. Never fails.
std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def);

// Sets key in section of the INI file at path to value: the key's line is
// replaced where it stands, or the key is added at the end of its section,
// or the section is added at the end of the file; every other line is kept.
// The file is created when missing, its folder never. Values, keys and
// section names holding CR or LF (or a key holding "=", a section "]") are
// refused, and so is an existing file that cannot be read. False when refused or when the file could not be written; error
// (when given) then says why.
bool WriteIniString(const std::string& path, const std::string& section,
                    const std::string& key, const std::string& value,
                    std::string* error = nullptr);

// Holds the exclusive write lock of the INI file at path for its lifetime,
// so that a caller can write and read back several keys as one step. Writes
// made by this process while it is held do not wait for it. The lock is the
// advisory lock of the file's folder; when the folder cannot be opened the
// object holds nothing (held() is false) and writes go on unlocked.
class IniWriteLock {
 public:
  explicit IniWriteLock(const std::string& path);
  ~IniWriteLock();
  IniWriteLock(const IniWriteLock&) = delete;
  IniWriteLock& operator=(const IniWriteLock&) = delete;

  bool held() const { return held_; }

 private:
  std::string folder_;
  bool held_ = false;
};

}  // namespace tessa
