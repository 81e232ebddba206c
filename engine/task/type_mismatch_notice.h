// The notice shown before a task whose input file's extension contradicts
// its chosen input type: its never-show-again flag and its last answer.
#pragma once

namespace tessa {

struct TypeMismatchNotice {
  // Kept in the settings file; validation skips the notice while it is set.
  bool bDontShowFileMismatchAgain = false;
  // True when the user chose to continue at the last showing.
  bool bContinueWithMismatchedTypes = false;
};

// The notice's own texts.
inline constexpr const char* kTypeMismatchCaption = "File Type Mismatch";
inline constexpr const char* kTypeMismatchText =
    "'Input File Format' and 'Input File' extension do not match.  For example, you may have chosen JPG for the "
    "file format, but specified \".BMP\" for the Input File extension.  Do you want to continue?";

}  // namespace tessa
