// FreeImage reads most headers alone (FIF_LOAD_NOPIXELS). For the formats
// whose loaders cannot, and for those holding several images (GIF, icons,
// MNG), the headers are read here; where the decoded depth is not plain
// from them, a deep one is taken, so a page is never thought smaller than
// it decodes to.
#include "pdfcontrol/image_header.h"

#include <FreeImage.h>

#include <algorithm>
#include <cctype>

#include "pdfcontrol/bmp_header.h"
#include "pdfcontrol/byte_order.h"
#include "pdfcontrol/freeimage_handles.h"

namespace quirepane {
namespace {

constexpr std::string_view kPngMagic("\x89PNG\r\n\x1a\n", 8);

// Keeps the larger of two pages.
void Keep(std::optional<PageSize>& largest, const PageSize& page) {
  if (!largest || page.Bytes() > largest->Bytes()) largest = page;
}

// A colour table's bytes, from the flags byte of a GIF screen or image.
size_t GifColourTable(uint32_t flags) { return flags & 0x80 ? size_t(3) << ((flags & 7) + 1) : 0; }

// Every image of a GIF.
std::optional<PageSize> GifPages(std::string_view b) {
  std::optional<PageSize> largest;
  WalkGifBlocks(b, [&largest](const GifImage& image) { Keep(largest, image.size); });
  return largest;
}

// Every image of an icon file: a bitmap (its height counts its mask too) or a PNG.
std::optional<PageSize> IconPages(std::string_view b) {
  std::optional<PageSize> largest;
  if (b.size() < 6) return largest;
  for (size_t i = 0, n = Le16(b, 4); i < n && 6 + 16 * (i + 1) <= b.size(); ++i) {
    const size_t at = Le32(b, 6 + 16 * i + 12);
    if (at <= b.size() && b.size() - at >= 24 && b.substr(at, 8) == kPngMagic)
      Keep(largest, PageSize{Be32(b, at + 16), Be32(b, at + 20), 32});
    else if (at <= b.size() && b.size() - at >= 12)
      Keep(largest, PageSize{Le32(b, at + 4), Le32(b, at + 8) / 2, 32});
  }
  return largest;
}

// The chunks of an MNG (or PNG) file: the frame's size and each image's.
std::optional<PageSize> MngPages(std::string_view b) {
  std::optional<PageSize> largest;
  for (size_t pos = 8; pos + 16 <= b.size(); pos += 12 + size_t(Be32(b, pos))) {
    const std::string_view type = b.substr(pos + 4, 4);
    if (type == "MHDR" || type == "IHDR" || type == "JHDR") Keep(largest, PageSize{Be32(b, pos + 8), Be32(b, pos + 12), 64});
    if (Be32(b, pos) > b.size()) break;
  }
  return largest;
}

// The BMHD chunk of an IFF picture.
std::optional<PageSize> IffPage(std::string_view b) {
  for (size_t pos = 12; pos + 17 <= b.size(); pos += 8 + size_t(Be32(b, pos)) + (Be32(b, pos) & 1)) {
    if (b.substr(pos, 4) == "BMHD") return PageSize{Be16(b, pos + 8), Be16(b, pos + 10), ByteAt(b, pos + 16) <= 8 ? 8u : 32u};
    if (Be32(b, pos) > b.size()) break;
  }
  return std::nullopt;
}

// A wireless bitmap: type and fixed header, then width and height as
// numbers of 7 bits a byte.
std::optional<PageSize> WbmpPage(std::string_view b) {
  size_t pos = 0;
  auto number = [&](uint64_t& value) {
    value = 0;
    for (int i = 0; i < 5; ++i) {
      if (pos >= b.size()) return false;
      const uint32_t byte = ByteAt(b, pos++);
      value = value << 7 | (byte & 0x7F);
      if (!(byte & 0x80)) return true;
    }
    return false;
  };
  uint64_t type = 0;
  PageSize page{0, 0, 1};
  if (!number(type) || ++pos > b.size() || !number(page.width) || !number(page.height)) return std::nullopt;
  return page;
}

// An X bitmap: "#define name_width 16" and "#define name_height 16".
std::optional<PageSize> XbmPage(std::string_view b) {
  auto value = [b](std::string_view key) -> std::optional<uint64_t> {
    size_t pos = b.find(key);
    if (pos == std::string_view::npos) return std::nullopt;
    for (pos += key.size(); pos < b.size() && b[pos] == ' ';) ++pos;
    uint64_t n = 0;
    for (int digits = 0; pos < b.size() && std::isdigit(static_cast<unsigned char>(b[pos])) && digits < 10; ++digits)
      n = n * 10 + uint64_t(b[pos++] - '0');
    return n;
  };
  const auto width = value("_width"), height = value("_height");
  if (!width || !height) return std::nullopt;
  return PageSize{*width, *height, 8};
}

// Formats whose size stands at a fixed place of their header.
std::optional<PageSize> FixedPlacePage(std::string_view b, int fif) {
  switch (fif) {
    case FIF_J2K:  // SIZ: image extent from the origin
      if (b.size() >= 16) return PageSize{Be32(b, 8), Be32(b, 12), 64};
      break;
    case FIF_JP2:  // the image header box
      if (const size_t at = b.find("ihdr"); at != std::string_view::npos && at + 12 <= b.size())
        return PageSize{Be32(b, at + 8), Be32(b, at + 4), 64};
      break;
    case FIF_SGI:  // bytes per channel, then x, y and channels
      if (b.size() >= 12) return PageSize{Be16(b, 6), Be16(b, 8), 8 * ByteAt(b, 3) * std::max(1u, Be16(b, 10))};
      break;
    case FIF_DDS:
      if (b.size() >= 20) return PageSize{Le32(b, 16), Le32(b, 12), 32};
      break;
    case FIF_PICT:  // the picture frame after the 512-byte preamble: bottom and right
      if (b.size() >= 522) return PageSize{Be16(b, 520), Be16(b, 518), 32};
      break;
    case FIF_KOALA: return PageSize{320, 200, 8};
    default: break;
  }
  return std::nullopt;
}

}  // namespace

size_t WalkGifBlocks(std::string_view b, const std::function<void(const GifImage&)>& found) {
  if (b.size() < 13) return 0;
  size_t pos = 13 + GifColourTable(ByteAt(b, 10));
  while (pos < b.size() && b[pos] != ';') {
    if (b[pos] == ',' && pos + 10 <= b.size()) {
      const size_t dataAt = pos + 10 + GifColourTable(ByteAt(b, pos + 9));
      found(GifImage{PageSize{Le16(b, pos + 5), Le16(b, pos + 7), 8}, dataAt});
      pos = dataAt + 1;
    } else if (b[pos] == '!') {
      pos += 2;
    } else {
      break;
    }
    while (pos < b.size() && b[pos] != 0) pos += 1 + ByteAt(b, pos);  // data sub-blocks
    ++pos;
  }
  return pos;
}

PageSize SizeOfBitmap(FIBITMAP* dib) { return PageSize{FreeImage_GetWidth(dib), FreeImage_GetHeight(dib), FreeImage_GetBPP(dib)}; }

std::optional<PageSize> LargestDeclaredPage(std::string_view bytes, int fif) {
  switch (fif) {
    case FIF_BMP: {
      const std::optional<BmpLayout> layout = ReadBmpLayout(bytes);
      return layout ? std::optional<PageSize>(layout->size) : std::nullopt;
    }
    case FIF_GIF: return GifPages(bytes);
    case FIF_ICO: return IconPages(bytes);
    case FIF_MNG: return MngPages(bytes);
    case FIF_IFF: return IffPage(bytes);
    case FIF_WBMP: return WbmpPage(bytes);
    case FIF_XBM: return XbmPage(bytes);
    default: break;
  }
  if (fif < 0 || !FreeImage_FIFSupportsNoPixels(static_cast<FREE_IMAGE_FORMAT>(fif))) return FixedPlacePage(bytes, fif);
  EnsureFreeImage();
  const MemoryPtr memory(FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                              static_cast<DWORD>(bytes.size())));
  const BitmapPtr header(memory ? FreeImage_LoadFromMemory(static_cast<FREE_IMAGE_FORMAT>(fif), memory.get(), FIF_LOAD_NOPIXELS) : nullptr);
  return header ? std::optional<PageSize>(SizeOfBitmap(header.get())) : std::nullopt;
}

}  // namespace quirepane
