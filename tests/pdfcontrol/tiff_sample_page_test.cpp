// Large TIFF pages read in bands: the rows that come out of the stream are
// FreeImage's decode of the same page, and damaged data fails the page.
#include "pdfcontrol/tiff_sample_page.h"

#include <gtest/gtest.h>

#include <FreeImage.h>
#include <qpdf/QPDF.hh>
#include <tiffio.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "convert_fixture.h"
#include "pdfcontrol/freeimage_handles.h"
#include "platform/text_file.h"

namespace quirepane::test {
namespace {

using tessa::test::WriteFile;

struct Kind {
  const char* name;
  int samples, bits;
  uint32_t rowsPerStrip;  // 0 for tiles of 16 by 16
  uint16_t compression;
};

// A width by height page of the kind, with sample (x, y, c) a smooth ramp plus a little grain.
void WritePage(const std::string& path, const Kind& kind, uint32_t width, uint32_t height) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tif, nullptr);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, kind.bits);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, kind.samples);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, kind.samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, kind.compression);
  if (kind.rowsPerStrip == 0) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kind.rowsPerStrip);
  }
  const size_t pixel = size_t(kind.samples) * kind.bits / 8;
  std::vector<uint8_t> rows(size_t(width) * height * pixel);
  uint32_t grain = 7;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x)
      for (int c = 0; c < kind.samples; ++c) {
        grain = grain * 1103515245u + 12345u;
        const uint32_t v = (x * 300 + y * 200 + c * 5000 + (grain >> 24)) & (kind.bits == 8 ? 0xFF : 0xFFFF);
        const size_t at = (size_t(y) * width + x) * kind.samples + c;
        if (kind.bits == 8) rows[at] = uint8_t(v);
        else reinterpret_cast<uint16_t*>(rows.data())[at] = uint16_t(v);
      }
  if (kind.rowsPerStrip == 0) {
    std::vector<uint8_t> tile(size_t(TIFFTileSize(tif)));
    for (uint32_t ty = 0; ty < height; ty += 16)
      for (uint32_t tx = 0; tx < width; tx += 16) {
        std::fill(tile.begin(), tile.end(), 0);
        for (uint32_t r = 0; r < 16 && ty + r < height; ++r)
          std::memcpy(tile.data() + r * 16 * pixel, rows.data() + ((ty + r) * size_t(width) + tx) * pixel,
                      std::min<uint32_t>(16, width - tx) * pixel);
        TIFFWriteTile(tif, tile.data(), tx, ty, 0, 0);
      }
  } else {
    const uint32_t n = kind.rowsPerStrip;
    for (uint32_t s = 0; s * n < height; ++s)
      TIFFWriteEncodedStrip(tif, s, rows.data() + s * n * width * pixel, tmsize_t(std::min(n, height - s * n) * width * pixel));
  }
  TIFFClose(tif);
}

// FreeImage's decode of the file as rows from the top, RGB order, 16-bit
// samples most significant byte first.
std::string FreeImageRows(const std::string& path) {
  BitmapPtr dib(FreeImage_Load(FIF_TIFF, path.c_str(), 0));
  if (!dib) return "";
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib.get());
  const unsigned width = FreeImage_GetWidth(dib.get()), height = FreeImage_GetHeight(dib.get());
  std::string rows;
  for (unsigned y = height; y-- > 0;) {
    const BYTE* line = FreeImage_GetScanLine(dib.get(), int(y));
    for (unsigned x = 0; x < width; ++x) {
      if (type == FIT_UINT16 || type == FIT_RGB16) {
        const uint16_t* samples = reinterpret_cast<const uint16_t*>(line) + x * (type == FIT_RGB16 ? 3 : 1);
        for (int c = 0; c < (type == FIT_RGB16 ? 3 : 1); ++c) rows += {char(samples[c] >> 8), char(samples[c] & 0xFF)};
      } else if (FreeImage_GetBPP(dib.get()) == 24) {
        const BYTE* px = line + 3 * x;
        rows += {char(px[FI_RGBA_RED]), char(px[FI_RGBA_GREEN]), char(px[FI_RGBA_BLUE])};
      } else {
        rows += char(line[x]);
      }
    }
  }
  return rows;
}

// The rows a sample stream holds, as a PDF reader decodes them.
std::string StreamRows(const SampleStream& stream) {
  QPDF pdf;
  pdf.emptyPDF();
  QPDFObjectHandle object = pdf.newStream();
  object.replaceStreamData(stream.data, QPDFObjectHandle::newName(stream.filter), QPDFObjectHandle::parse(stream.decodeParms));
  const std::shared_ptr<Buffer> rows = object.getStreamData(qpdf_dl_generalized);
  return std::string(reinterpret_cast<const char*>(rows->getBuffer()), rows->getSize());
}

class TiffSamplePage : public ConvertFixture {
 protected:
  SamplePageRead Read(const std::string& path, SamplePage& page, const BandedRead& limits) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    EXPECT_NE(tif, nullptr);
    const uint64_t directory = TIFFCurrentDirOffset(tif);
    const SamplePageRead read = ReadTiffSamplePage(tif, path, directory, page, nullptr, limits);
    TIFFClose(tif);
    return read;
  }
};

// Bands of a few strips or tile rows each, cut wherever the band size falls;
// a strip larger than a band is read a row at a time.
TEST_F(TiffSamplePage, BandedRowsAreFreeImagesDecode) {
  EnsureFreeImage();
  const Kind kinds[] = {{"grey8-lzw-strips", 1, 8, 5, COMPRESSION_LZW},
                        {"grey8-deflate-tiles", 1, 8, 0, COMPRESSION_ADOBE_DEFLATE},
                        {"grey8-deflate-one-strip", 1, 8, 83, COMPRESSION_ADOBE_DEFLATE},
                        {"grey16-strips", 1, 16, 5, COMPRESSION_LZW},
                        {"rgb8-strips", 3, 8, 5, COMPRESSION_NONE},
                        {"rgb8-tiles", 3, 8, 0, COMPRESSION_LZW},
                        {"rgb16-packbits-strips", 3, 16, 5, COMPRESSION_PACKBITS}};
  for (const Kind& kind : kinds) {
    const std::string path = File(std::string(kind.name) + ".tif");
    WritePage(path, kind, 37, 83);
    const std::string expected = FreeImageRows(path);
    for (uint64_t bandBytes : {uint64_t(1), uint64_t(4000), uint64_t(1) << 30}) {
      SamplePage page;
      ASSERT_EQ(Read(path, page, {0, bandBytes}), SamplePageRead::kRead) << kind.name;
      EXPECT_EQ(page.width, 37);
      EXPECT_EQ(page.height, 83);
      EXPECT_EQ(page.components, kind.samples);
      EXPECT_EQ(page.bitsPerComponent, kind.bits);
      EXPECT_EQ(StreamRows(page.stream), expected) << kind.name << " in bands of " << bandBytes;
    }
    SamplePage small;
    EXPECT_EQ(Read(path, small, {}), SamplePageRead::kNotPlain) << "a small page is decoded whole";
  }
}

// A strip damaged in the middle of a large page fails the page, on its own
// and as the control converts it (an unreadable image), and the old PDF stays.
TEST_F(TiffSamplePage, ADamagedStripFailsThePage) {
  const std::string path = File("damaged.tif");
  const uint32_t width = 8192, height = kSmallestBandedPage / width;
  {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
    std::vector<uint8_t> row(width);
    for (uint32_t y = 0; y < height; ++y) {
      for (uint32_t x = 0; x < width; ++x) row[x] = uint8_t(x + y);
      TIFFWriteScanline(tif, row.data(), y, 0);
    }
    TIFFClose(tif);
  }
  const std::string pdf = File("kept.pdf");
  WriteFile(pdf, "not replaced");
  ASSERT_EQ(Convert(path, pdf), CR_Success) << "the sound page converts";
  WriteFile(pdf, "not replaced");
  {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    uint64_t* offsets = nullptr;
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets));
    const uint64_t middle = offsets[TIFFNumberOfStrips(tif) / 2];
    TIFFClose(tif);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(std::streamoff(middle + 2));
    file.write("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8);
  }
  SamplePage page;
  EXPECT_EQ(Read(path, page, {}), SamplePageRead::kFailed);
  EXPECT_EQ(Convert(path, pdf), CR_Failure_InvalidImageType);
  EXPECT_EQ(tessa::ReadFileBytes(pdf).value_or(""), "not replaced");
}

}  // namespace
}  // namespace quirepane::test
