// The rows of the input-type list that the item editor offers (code, label
// parts, the file extensions that name the row), kept as data so that both
// the window's combo and the lookup of a file's type by its extension read
// the same rows.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace tessa {

struct InputTypeRow {
  int32_t code;                          // image type code (item data)
  std::string_view description;          // translated when shown
  std::string_view extensionPart;        // " (*.tif)"; "" for AutoDetect
  std::array<std::string_view, 2> keys;  // lower-case extensions naming the row; "" unused
};

// The 24 rows in list order: TIFF first, Dr. Halo last.
std::span<const InputTypeRow> InputTypeRows();

// The list index of the row that extension (without dot, any case) names,
// as the extension-to-row collection of the main form gives it; -1 when no
// row has it. "tif" and "tiff" give 0; "pbm" 14, "pgm" 18, "ppm" 19.
int32_t FormatTypeIndex(std::string_view extension);

}  // namespace tessa
