// A GIF's coded images checked without making a pixel: FreeImage's GIF
// loader draws whatever damaged codes give and says nothing.
#pragma once

#include <string>
#include <string_view>

namespace quirepane {

// "" when the blocks of the GIF whose bytes are given run whole to its
// trailer (or to the file's very end) and every image's LZW codes name
// entries its table holds; else the reason to refuse the file.
std::string GifDamage(std::string_view bytes);

}  // namespace quirepane
