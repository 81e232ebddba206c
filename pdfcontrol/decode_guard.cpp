#include "pdfcontrol/decode_guard.h"

#include <FreeImage.h>

#include <iterator>
#include <optional>

#include "pdfcontrol/bmp_header.h"
#include "pdfcontrol/encoding_budget.h"
#include "pdfcontrol/gif_codes.h"
#include "pdfcontrol/image_header.h"
#include "pdfcontrol/jpeg_header.h"
#include "pdfcontrol/mapped_file.h"

namespace quirepane {
namespace {

// No coding of tables or runs that a decoder here reads expands a byte of
// image data to more than this many pixel bytes. Their largest expansions:
// Deflate 1032 (a 258-byte match in two bits); PackBits 64 (128 bytes from
// two); LZW in TIFF about 2560 and in GIF about 2730 (the longest string a
// 4096-entry table holds, 3838 or 4090 bytes, in a 12-bit code); JPEG about
// 1730 (progressive: one bit for each block of a DC scan, with the first
// component sampled 4 x 4 to the others' 1 x 1, 19 bits for 32 x 32 pixels
// of 4 bytes), baseline half that. Group 3 and 4 pages and run-length
// bitmaps are bounded otherwise (see Coding). Pages up to the floor decode
// from any file.
constexpr uint64_t kMostExpansion = 4096;
constexpr uint64_t kAlwaysDecodable = 32u << 20;

std::string SizeText(const PageSize& size) {
  return "the image is " + std::to_string(size.width) + " x " + std::to_string(size.height) + " pixels, " +
         ByteCountText(size.Bytes()) + " once decoded";
}

// The most pixel bytes fileBytes of coded data can give for a page of the
// given size.
uint64_t MostDecoded(const PageSize& size, uint64_t fileBytes, Coding coding) {
  switch (coding) {
    case Coding::kSkipping: return UINT64_MAX;
    case Coding::kFax: {
      const uint64_t rows = fileBytes > UINT64_MAX / 8 ? UINT64_MAX : fileBytes * 8;
      return size.height <= rows ? UINT64_MAX : 0;
    }
    case Coding::kTable: break;
  }
  return fileBytes > (UINT64_MAX - kAlwaysDecodable) / kMostExpansion ? UINT64_MAX
                                                                       : kAlwaysDecodable + fileBytes * kMostExpansion;
}

}  // namespace

std::string ByteCountText(uint64_t bytes) {
  const char* units[] = {"bytes", "kB", "MB", "GB", "TB"};
  size_t unit = 0;
  uint64_t whole = bytes, tenths = 0;
  for (; whole >= 1024 && unit + 1 < std::size(units); ++unit) {
    tenths = (whole % 1024) * 10 / 1024;
    whole /= 1024;
  }
  // Below 10 of a unit a tenth still says something.
  const std::string number = unit > 0 && whole < 10 && tenths > 0 ? std::to_string(whole) + "." + std::to_string(tenths)
                                                                  : std::to_string(whole);
  return number + " " + units[unit];
}

std::string CodedPageRefusal(const PageSize& size, uint64_t fileBytes, Coding coding) {
  if (size.Bytes() <= MostDecoded(size, fileBytes, coding)) return "";
  return SizeText(size) + ", more than its " + ByteCountText(fileBytes) + " can hold";
}

std::string PageSizeRefusal(const PageSize& size, uint64_t fileBytes, Coding coding, uint64_t copies) {
  if (std::string refusal = CodedPageRefusal(size, fileBytes, coding); !refusal.empty()) return refusal;
  const uint64_t room = PageRoom(copies);
  if (size.Bytes() <= room) return "";
  return SizeText(size) + ", more than the " + ByteCountText(room) + " of memory this computer can spare";
}

std::string DecodeRefusal(std::string_view bytes, int fif) {
  if (fif == FIF_JPEG && bytes.substr(0, 3) != "\xFF\xD8\xFF") return "the file is not a JPEG image";
  if (fif == FIF_JPEG && !JpegReachesEnd(bytes)) return "the file ends before its image does";
  if (fif == FIF_GIF) {
    if (std::string damage = GifDamage(bytes); !damage.empty()) return damage;
  }
  Coding coding = Coding::kTable;
  if (fif == FIF_BMP) {
    const std::optional<BmpLayout> layout = ReadBmpLayout(bytes);
    if (layout && !layout->complete) return "the file ends before its pixels do";
    if (layout && layout->runLength) coding = Coding::kSkipping;
  }
  const std::optional<PageSize> largest = LargestDeclaredPage(bytes, fif);
  return largest ? PageSizeRefusal(*largest, bytes.size(), coding) : "";
}

std::string DecodeRefusal(const std::string& path, int fif) {
  const MappedFile file(path);
  return file.empty() ? "" : DecodeRefusal(file.bytes(), fif);
}

}  // namespace quirepane
