#include "pdfcontrol/ccitt_page.h"

#include <tiffio.h>

#include <memory>
#include <vector>

#include "pdfcontrol/decode_guard.h"
#include "pdfcontrol/temp_work_file.h"
#include "pdfcontrol/tiff_messages.h"
#include "pdfcontrol/tiff_page_reader.h"

namespace quirepane {
namespace {

struct TiffCloser {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// The one strip of the current page, most significant bit first.
std::optional<std::string> RawStrip(TIFF* tif) {
  const tmsize_t size = TIFFRawStripSize(tif, 0);
  if (size <= 0) return std::nullopt;
  std::string data(static_cast<size_t>(size), '\0');
  if (TIFFReadRawStrip(tif, 0, data.data(), size) != size) return std::nullopt;
  uint16_t fill = FILLORDER_MSB2LSB;
  TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fill);
  if (fill == FILLORDER_LSB2MSB) TIFFReverseBits(reinterpret_cast<uint8_t*>(data.data()), size);
  return data;
}

// The current page decoded and coded again as one Group 4 strip; nullopt
// with damage set when its decoder reports an error.
std::optional<std::string> RecodedG4(TIFF* tif, uint32_t width, uint32_t height, uint16_t photometric,
                                     std::string& damage) {
  TempWorkFile work(".tif");
  {
    TiffPtr out(TIFFOpen(work.path().c_str(), "w"));
    if (!out) return std::nullopt;
    TIFFSetField(out.get(), TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(out.get(), TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(out.get(), TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(out.get(), TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(out.get(), TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(out.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(out.get(), TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(out.get(), TIFFTAG_ROWSPERSTRIP, height);
    std::vector<uint8_t> line(static_cast<size_t>(TIFFScanlineSize(tif)));
    const DecoderErrorCapture capture;
    for (uint32_t row = 0; row < height; ++row) {
      const bool read = TIFFReadScanline(tif, line.data(), row) >= 0;
      if (capture.Failed()) damage = capture.Reason();
      if (!read || capture.Failed()) return std::nullopt;
      if (TIFFWriteScanline(out.get(), line.data(), row) < 0) return std::nullopt;
    }
  }
  TiffPtr again(TIFFOpen(work.path().c_str(), "r"));
  if (!again) return std::nullopt;
  return RawStrip(again.get());
}

// The coded bytes of the current page, all its strips.
uint64_t CodedBytes(TIFF* tif) {
  uint64_t total = 0;
  for (uint32_t strip = 0, n = TIFFNumberOfStrips(tif); strip < n; ++strip) {
    const tmsize_t size = TIFFRawStripSize(tif, strip);
    if (size > 0) total += static_cast<uint64_t>(size);
  }
  return total;
}

}  // namespace

std::string CodedPageDamage(TIFF* tif) {
  uint32_t height = 0;
  if (!tif || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height)) return "the page cannot be read";
  uint16_t compression = 0, photometric = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  // Subsampled colour is read as whole RGB rows.
  if (compression == COMPRESSION_JPEG && photometric == PHOTOMETRIC_YCBCR)
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  const tmsize_t lineSize = TIFFScanlineSize(tif);
  if (lineSize <= 0) return "the page cannot be read";
  std::vector<uint8_t> line(static_cast<size_t>(lineSize));
  const DecoderErrorCapture capture;
  for (uint32_t row = 0; row < height && !capture.Failed(); ++row) {
    if (TIFFReadScanline(tif, line.data(), row) < 0 && !capture.Failed()) return "row " + std::to_string(row + 1) + " cannot be read";
  }
  return capture.Reason();
}

std::optional<CcittPage> ReadCcittPage(TIFF* tif, std::string* damage) {
  if (!tif || TIFFIsTiled(tif)) return std::nullopt;
  uint16_t compression = 0, bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE;
  uint32_t width = 0, height = 0, options = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  if ((compression != COMPRESSION_CCITTFAX3 && compression != COMPRESSION_CCITTFAX4) || bits != 1 || samples != 1 ||
      (photometric != PHOTOMETRIC_MINISWHITE && photometric != PHOTOMETRIC_MINISBLACK) ||
      !TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height) ||
      width == 0 || height == 0) {
    return std::nullopt;
  }
  if (compression == COMPRESSION_CCITTFAX3) TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &options);
  std::string why = CodedPageRefusal(PageSize{width, height, 1}, CodedBytes(tif), Coding::kFax);

  CcittPage result;
  result.width = static_cast<long>(width);
  result.height = static_cast<long>(height);
  // The codes tell white runs from black ones; a page whose 0 bits are
  // black has them the other way round.
  result.inverted = photometric == PHOTOMETRIC_MINISBLACK;
  std::string parms;
  std::optional<std::string> data;
  if (why.empty() && TIFFNumberOfStrips(tif) == 1 && !(options & GROUP3OPT_UNCOMPRESSED)) {
    data = RawStrip(tif);
    if (data) why = CodedPageDamage(tif);
    if (compression == COMPRESSION_CCITTFAX4) {
      parms = "/K -1";
    } else {
      parms = (options & GROUP3OPT_2DENCODING) ? "/K 1" : "/K 0";
      if (options & GROUP3OPT_FILLBITS) parms += " /EncodedByteAlign true";
    }
  } else if (why.empty()) {
    data = RecodedG4(tif, width, height, photometric, why);
    parms = "/K -1";
  }
  if (!why.empty()) {
    if (damage) *damage = why;
    return std::nullopt;
  }
  if (!data) return std::nullopt;
  result.data = std::move(*data);
  result.decodeParms = "<< " + parms + " /Columns " + std::to_string(width) + " /Rows " + std::to_string(height) + " >>";
  return result;
}

std::optional<CcittPage> ReadCcittPage(const std::string& path, int page, std::string* damage) {
  TiffPageReader reader(path);
  return ReadCcittPage(reader.Seek(page), damage);
}

}  // namespace quirepane
