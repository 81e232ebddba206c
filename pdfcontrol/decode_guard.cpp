#include "pdfcontrol/decode_guard.h"

#include <FreeImage.h>

#include <optional>

#include "pdfcontrol/bmp_header.h"
#include "pdfcontrol/encoding_budget.h"
#include "pdfcontrol/image_header.h"
#include "pdfcontrol/jpeg_header.h"
#include "pdfcontrol/mapped_file.h"

namespace quirepane {
namespace {

// No coding expands a byte of image data to more than this many pixel
// bytes (deflate reaches about 1000, LZW about 1400); pages up to the floor
// decode from any file, so that fax pages and other nearly blank pages,
// which compress further still, always go in.
constexpr uint64_t kMostExpansion = 4096;
constexpr uint64_t kAlwaysDecodable = 32u << 20;

std::string Megabytes(uint64_t bytes) { return std::to_string((bytes >> 20) + ((bytes >> 19) & 1)) + " MB"; }

std::string SizeText(const PageSize& size) {
  return "the image is " + std::to_string(size.width) + " x " + std::to_string(size.height) + " pixels, " +
         Megabytes(size.Bytes()) + " once decoded";
}

}  // namespace

std::string CodedPageRefusal(const PageSize& size, uint64_t fileBytes) {
  const uint64_t expands = fileBytes > (UINT64_MAX - kAlwaysDecodable) / kMostExpansion ? UINT64_MAX
                                                                                      : kAlwaysDecodable + fileBytes * kMostExpansion;
  if (size.Bytes() <= expands) return "";
  return SizeText(size) + ", more than its " + std::to_string(fileBytes) + " bytes can hold";
}

std::string PageSizeRefusal(const PageSize& size, uint64_t fileBytes, uint64_t copies) {
  if (std::string refusal = CodedPageRefusal(size, fileBytes); !refusal.empty()) return refusal;
  const uint64_t room = PageRoom(copies);
  if (size.Bytes() <= room) return "";
  return SizeText(size) + ", more than the " + Megabytes(room) + " of memory this computer can spare";
}

std::string DecodeRefusal(std::string_view bytes, int fif) {
  if (fif == FIF_JPEG && !JpegReachesEnd(bytes)) return "the file ends before its image does";
  if (fif == FIF_BMP) {
    const std::optional<BmpLayout> layout = ReadBmpLayout(bytes);
    if (layout && !layout->complete) return "the file ends before its pixels do";
  }
  const std::optional<PageSize> largest = LargestDeclaredPage(bytes, fif);
  return largest ? PageSizeRefusal(*largest, bytes.size()) : "";
}

std::string DecodeRefusal(const std::string& path, int fif) {
  const MappedFile file(path);
  return file.empty() ? "" : DecodeRefusal(file.bytes(), fif);
}

}  // namespace quirepane
