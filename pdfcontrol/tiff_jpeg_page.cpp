// A JPEG-coded TIFF page usually keeps its quantisation and Huffman tables
// once in the JPEGTables tag, and its strip is an "abbreviated" stream that
// leans on them. The tables go in after the strip's start-of-image marker,
// which makes one stream any JPEG decoder reads. The stream's own frame
// header is checked against the page, so that no reader shows a different
// size, colour or sampling than the TIFF states.
#include "pdfcontrol/tiff_jpeg_page.h"

#include <tiffio.h>

#include <string_view>
#include <vector>

#include "pdfcontrol/jpeg_header.h"
#include "pdfcontrol/tiff_page_reader.h"

namespace quirepane {
namespace {

struct Sampling {
  int h = 0, v = 0;
};

// The sampling factors of each component in the stream's frame header;
// empty when it has none.
std::vector<Sampling> FrameSampling(const std::string& data) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(data[i]); };
  size_t pos = 2;
  while (pos + 4 <= data.size() && byte(pos) == 0xFF) {
    const unsigned marker = byte(pos + 1);
    const size_t len = (size_t(byte(pos + 2)) << 8) | byte(pos + 3);
    if (marker == 0xC0 || marker == 0xC2) {
      const size_t seg = pos + 4;
      if (len < 8 || seg + 6 > data.size()) return {};
      const size_t n = byte(seg + 5);
      if (len < 8 + 3 * n || seg + 6 + 3 * n > data.size()) return {};
      std::vector<Sampling> result;
      for (size_t c = 0; c < n; ++c) {
        const unsigned f = byte(seg + 6 + 3 * c + 1);
        result.push_back({int(f >> 4), int(f & 15)});
      }
      return result;
    }
    if (marker == 0xDA || len < 2) return {};
    pos += 2 + len;
  }
  return {};
}

// The one strip or tile of the current page as it is stored.
std::optional<std::string> RawPiece(TIFF* tif) {
  const bool tiled = TIFFIsTiled(tif);
  uint64_t* counts = nullptr;
  if (!TIFFGetField(tif, tiled ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS, &counts) || !counts ||
      counts[0] < 4 || counts[0] > (uint64_t(1) << 31)) {
    return std::nullopt;
  }
  const auto size = static_cast<tmsize_t>(counts[0]);
  std::string data(static_cast<size_t>(size), '\0');
  const tmsize_t read =
      tiled ? TIFFReadRawTile(tif, 0, data.data(), size) : TIFFReadRawStrip(tif, 0, data.data(), size);
  if (read != size) return std::nullopt;
  return data;
}

}  // namespace

std::optional<TiffJpegPage> ReadTiffJpegPage(TIFF* tif) {
  if (!tif) return std::nullopt;
  uint16_t compression = 0, bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG;
  uint32_t width = 0, height = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  if (compression != COMPRESSION_JPEG || bits != 8 || !TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) ||
      !TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height) ||
      width == 0 || height == 0) {
    return std::nullopt;
  }
  // What the luminance (or only) component must be sampled at.
  Sampling luma{1, 1};
  if (photometric == PHOTOMETRIC_YCBCR && samples == 3) {
    uint16_t h = 2, v = 2;
    TIFFGetFieldDefaulted(tif, TIFFTAG_YCBCRSUBSAMPLING, &h, &v);
    luma = {h, v};
  } else if (!(photometric == PHOTOMETRIC_RGB && samples == 3) &&
             !(photometric == PHOTOMETRIC_MINISBLACK && samples == 1)) {
    return std::nullopt;
  }
  if (luma.h < 1 || luma.h > 2 || luma.v < 1 || luma.v > 2) return std::nullopt;
  if (samples > 1 && planar != PLANARCONFIG_CONTIG) return std::nullopt;
  if (TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) != 1 : TIFFNumberOfStrips(tif) != 1) return std::nullopt;

  std::optional<std::string> piece = RawPiece(tif);
  if (!piece || static_cast<unsigned char>((*piece)[0]) != 0xFF || static_cast<unsigned char>((*piece)[1]) != 0xD8)
    return std::nullopt;
  TiffJpegPage page;
  page.width = static_cast<long>(width);
  page.height = static_cast<long>(height);
  uint32_t tableBytes = 0;
  const char* tables = nullptr;
  if (TIFFGetField(tif, TIFFTAG_JPEGTABLES, &tableBytes, &tables) && tables && tableBytes > 4) {
    const std::string_view t(tables, tableBytes);
    if (t.substr(0, 2) != "\xFF\xD8" || t.substr(t.size() - 2) != "\xFF\xD9") return std::nullopt;
    page.data.reserve(piece->size() + t.size());
    page.data.append(*piece, 0, 2);
    page.data.append(t.substr(2, t.size() - 4));
    page.data.append(*piece, 2);
  } else {
    page.data = std::move(*piece);
  }

  // The stream must state the page's own size, colours and sampling: a tile
  // larger than the image, or a stream coded otherwise than the tags say,
  // is decoded instead.
  const std::optional<JpegInfo> info = ReadJpegInfo(page.data);
  if (!info || info->adobe || info->width != page.width || info->height != page.height || info->components != samples)
    return std::nullopt;
  const std::vector<Sampling> sampling = FrameSampling(page.data);
  if (sampling.size() != samples || sampling[0].h != luma.h || sampling[0].v != luma.v) return std::nullopt;
  for (size_t c = 1; c < sampling.size(); ++c) {
    if (sampling[c].h != 1 || sampling[c].v != 1) return std::nullopt;
  }
  // Three components are taken for YCbCr unless the filter is told otherwise.
  if (photometric == PHOTOMETRIC_RGB) page.decodeParms = "<< /ColorTransform 0 >>";
  return page;
}

std::optional<TiffJpegPage> ReadTiffJpegPage(const std::string& path, int page) {
  TiffPageReader reader(path);
  return ReadTiffJpegPage(reader.Seek(page));
}

}  // namespace quirepane
