// The application's identity on the desktop: the name of its desktop entry
// and of its icon in the icon theme.
#pragma once

namespace tessa {

inline constexpr const char* kApplicationId = "com.brindlecove.Tessaprint";

}  // namespace tessa
