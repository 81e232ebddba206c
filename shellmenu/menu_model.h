// What QueryContextMenu inserts into the host's menu: entries with their
// caption, command id, verb, check state and picture, separators, and the
// popup that holds them. A host draws it in its own toolkit.
#pragma once

#include <string>
#include <vector>

namespace tessa {

struct MenuEntry {
  enum class Kind { Command, Separator, Popup };
  Kind kind = Kind::Command;
  std::string sCaption;
  int iCommandId = -1;  // -1 for separators and the popup itself
  std::string sVerb;
  bool bChecked = false;
  std::string sPicture;  // "" for none; else one of the names below
  std::vector<MenuEntry> children;  // the popup's entries
};

// The menu pictures, by the names the hosts look up (data/icons).
inline constexpr const char* kPictureConvertImage = "tessaprint-convert-image";
inline constexpr const char* kPictureAddPDF = "tessaprint-add-pdf";
inline constexpr const char* kPictureOptions = "tessaprint-options";
inline constexpr const char* kPicturePDF = "tessaprint-pdf";

// The host menu's entries in order, as inserted at the position given.
using MenuModel = std::vector<MenuEntry>;

}  // namespace tessa
