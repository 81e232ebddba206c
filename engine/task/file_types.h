// The image type codes of tasks and the texts they stand for: the file
// extension, the extension under a conversion method and the open-dialog
// filter. Kept as one table so the window's combos can read it too.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessa {

// Image type codes that the program itself names.
inline constexpr int32_t kFileTypeAuto = -1;   // any type, detected from the file
inline constexpr int32_t kFileTypeJpeg = 2;
inline constexpr int32_t kFileTypeTiff = 18;
inline constexpr int32_t kFileTypeGif = 40;    // no member of the control's type list
inline constexpr int32_t kFileTypePdf = 100;   // an output type only

// Conversion methods (clsConversionOptions::lConversionMethod).
inline constexpr int32_t kMethodImageConversion = 1;
inline constexpr int32_t kMethodRowWithoutM = 2;
inline constexpr int32_t kMethodSpecialProcess = 4;

// One row of the type table.
struct ImageTypeInfo {
  int32_t code;
  std::string_view member;     // the control's CR_FileType member; "" when it has none
  std::string_view extension;  // stored exactly: lower case, except "PDF"
  std::string_view meaning;
  std::string_view filter;     // open-dialog filter; "" lists all files
};

// Every type code in ascending order, -1 first and 100 last.
std::span<const ImageTypeInfo> ImageTypeTable();

// The table row of code; nullptr when code is no type code.
const ImageTypeInfo* FindImageType(int32_t code);

// The extension of code ("tif", "PDF", "*" for -1); with bWithMask "*."
// before it ("*.tif", "*.*"). A number outside the table gives "" without
// the flag and "*." with it.
std::string GetImageTypeExtension(int32_t code, bool bWithMask);

// GetImageTypeExtension under method 1; "" under any other method (methods
// 2 and 4 accept no type at all), whatever the flag.
std::string GetFileTypeExtension(int32_t code, bool bWithMask, int32_t lConversionMethod);

// The open-dialog filter of code ("Description (*.ext)|*.ext|All files
// (*.*)|*.*"); "" for -1, 100 and every number outside the table. Not
// translated.
std::string GetImageTypeDialogFilter(int32_t code);

// True when a file's own extension stands for the type extension: equal
// without regard to case, or the pairs "jpeg" for "jpg" and "tiff" for "tif"
// (the file's extension first).
bool bFileExtensionFitsType(std::string_view fileExtension, std::string_view typeExtension);

}  // namespace tessa
