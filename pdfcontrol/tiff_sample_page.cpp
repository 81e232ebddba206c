// The page is cut into bands of whole strips (or rows of tiles). Each
// thread opens the file for itself, since a libtiff handle serves one thread
// at a time, and takes the next band: it decodes it, hands its last row to
// the band below, waits for the last row of the band above (the rows are
// predicted across the cut as if there were none), predicts and compresses
// it. The bands' streams are joined in order as they come. Strips larger
// than a band are read a row at a time through the caller's handle, band
// after band in order, the other work still spread over the threads.
#include "pdfcontrol/tiff_sample_page.h"

#include <malloc.h>
#include <tiffio.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

#include "pdfcontrol/band_deflate.h"
#include "pdfcontrol/decode_guard.h"
#include "pdfcontrol/encoding_budget.h"
#include "pdfcontrol/tiff_messages.h"

namespace quirepane {
namespace {

constexpr size_t kWindowBytes = 32u << 10;  // how far back deflate may refer

struct Layout {
  uint32_t width = 0, height = 0;
  int components = 1, bits = 8;
  bool tiled = false;
  uint32_t unitRows = 0;   // rows of a strip or of a row of tiles
  uint32_t tileWidth = 0;  // tiled pages only
  size_t rowBytes = 0;
  size_t pixelBytes = 0;
  uint32_t bandUnits = 1;  // strips or tile rows a band takes (rows, when read a row at a time)
  uint32_t bands = 0;
  bool byRow = false;  // strips larger than a band are read a row at a time, in order, through one handle
};

bool KnownCoding(uint16_t compression) {
  return compression == COMPRESSION_NONE || compression == COMPRESSION_LZW || compression == COMPRESSION_ADOBE_DEFLATE ||
         compression == COMPRESSION_DEFLATE || compression == COMPRESSION_PACKBITS;
}

// The page's layout when it holds plain grey or RGB samples of 8 or 16 bits
// from the top left that libtiff can decode; nullopt for any other page.
std::optional<Layout> PlainLayout(tiff* tif, const BandedRead& limits) {
  uint32_t width = 0, height = 0;
  uint16_t bits = 0, samples = 0, photometric = 0, planar = 0, format = 0, orientation = 0, compression = 0;
  if (!tif || !TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height) ||
      !TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) {
    return std::nullopt;
  }
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  const bool grey = samples == 1 && photometric == PHOTOMETRIC_MINISBLACK;
  const bool rgb = samples == 3 && photometric == PHOTOMETRIC_RGB;
  if (width == 0 || height == 0 || (bits != 8 && bits != 16) || (!grey && !rgb) || planar != PLANARCONFIG_CONTIG ||
      format != SAMPLEFORMAT_UINT || orientation != ORIENTATION_TOPLEFT || !KnownCoding(compression) ||
      !TIFFIsCODECConfigured(compression)) {
    return std::nullopt;
  }
  Layout layout;
  layout.width = width;
  layout.height = height;
  layout.components = samples;
  layout.bits = bits;
  layout.pixelBytes = size_t(samples) * bits / 8;
  layout.rowBytes = size_t(width) * layout.pixelBytes;
  layout.tiled = TIFFIsTiled(tif);
  if (layout.tiled) {
    uint32_t tileLength = 0;
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &layout.tileWidth) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength) ||
        layout.tileWidth == 0 || tileLength == 0) {
      return std::nullopt;
    }
    layout.unitRows = tileLength;
  } else {
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    layout.unitRows = std::clamp<uint32_t>(rowsPerStrip, 1, height);
    if (TIFFNumberOfStrips(tif) < (height - 1) / layout.unitRows + 1) return std::nullopt;
  }
  if (uint64_t(height) * layout.rowBytes < limits.smallestPage) return std::nullopt;
  if (!layout.tiled && uint64_t(layout.unitRows) * layout.rowBytes > limits.bandBytes) {
    layout.byRow = true;
    layout.unitRows = 1;
  }
  const uint64_t unitBytes = uint64_t(layout.unitRows) * layout.rowBytes;
  layout.bandUnits = static_cast<uint32_t>(std::max<uint64_t>(1, limits.bandBytes / std::max<uint64_t>(unitBytes, 1)));
  const uint64_t bandRows = uint64_t(layout.bandUnits) * layout.unitRows;
  layout.bands = static_cast<uint32_t>((height + bandRows - 1) / bandRows);
  return layout;
}

// The work on one page shared by its threads.
class BandWork {
 public:
  BandWork(const Layout& layout, tiff* shared, std::string path, uint64_t directory)
      : layout_(layout), shared_(shared), path_(std::move(path)), directory_(directory), joined_(layout.bands, DeflatedBound(size_t(layout.height) * (layout.rowBytes + 1))), lastRows_(layout.bands),
        tails_(layout.bands), tailsReady_(layout.bands, 0) {}

  // Takes bands until none is left or one fails.
  void Run() {
    // What libtiff reports while this thread decodes; a report fails the page
    // even where the read itself gave its bytes.
    const DecoderErrorCapture capture;
    tiff* tif = Open();
    if (!tif) Fail("");
    try {
      std::vector<uint8_t> tile;
      if (tif && layout_.tiled) tile.resize(static_cast<size_t>(std::max<tmsize_t>(TIFFTileSize(tif), 0)));
      for (uint32_t band = next_++; !failed_ && band < layout_.bands; band = next_++) {
        if (!DoBand(tif, band, tile) || capture.Failed()) Fail(capture.Reason());
      }
    } catch (const std::exception&) {  // no memory for a band: the page cannot be read this way
      Fail("");
    }
    if (tif) TIFFClose(tif);
  }

  bool Failed() const { return failed_; }
  // Why the page failed: the decoder's first error, else that its data is damaged.
  std::string Reason() const { return reason_.empty() ? "the image data is damaged" : reason_; }
  std::string Stream() { return joined_.Finish(); }

 private:
  tiff* Open() const {
    tiff* tif = TIFFOpen(path_.c_str(), "rm");  // read as needed, never mapped whole
    if (tif && !TIFFSetSubDirectory(tif, directory_)) {
      TIFFClose(tif);
      return nullptr;
    }
    return tif;
  }

  void Fail(const std::string& reason) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!failed_) reason_ = reason;
    failed_ = true;
    rowReady_.notify_all();
  }

  // Decodes rows [first, first + count) into rows. False when libtiff
  // cannot read them.
  bool Decode(tiff* tif, uint32_t first, uint32_t count, uint8_t* rows, std::vector<uint8_t>& tile) {
    const size_t rowBytes = layout_.rowBytes;
    if (layout_.byRow) {
      std::unique_lock<std::mutex> lock(mutex_);
      rowReady_.wait(lock, [&] { return failed_ || rowsRead_ == first; });
      for (uint32_t y = first; !failed_ && y < first + count; ++y) {
        if (TIFFReadScanline(shared_, rows + size_t(y - first) * rowBytes, y, 0) < 0) return false;
      }
      rowsRead_ = first + count;
      rowReady_.notify_all();
      return !failed_;
    }
    if (!layout_.tiled) {
      for (uint32_t y = first; y < first + count; y += layout_.unitRows) {
        const uint32_t n = std::min(layout_.unitRows, layout_.height - y);
        const tmsize_t want = static_cast<tmsize_t>(size_t(n) * rowBytes);
        if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, y, 0), rows + size_t(y - first) * rowBytes, want) != want)
          return false;
      }
      return true;
    }
    const size_t tileRowBytes = size_t(layout_.tileWidth) * layout_.pixelBytes;
    for (uint32_t y = first; y < first + count; y += layout_.unitRows) {
      const uint32_t n = std::min(layout_.unitRows, layout_.height - y);
      for (uint32_t x = 0; x < layout_.width; x += layout_.tileWidth) {
        if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x, y, 0, 0), tile.data(), static_cast<tmsize_t>(tile.size())) < 0)
          return false;
        const size_t across = size_t(std::min(layout_.tileWidth, layout_.width - x)) * layout_.pixelBytes;
        for (uint32_t r = 0; r < n; ++r)
          std::memcpy(rows + size_t(y - first + r) * rowBytes + size_t(x) * layout_.pixelBytes, tile.data() + r * tileRowBytes, across);
      }
    }
    return true;
  }

  bool DoBand(tiff* tif, uint32_t band, std::vector<uint8_t>& tile) {
    const size_t rowBytes = layout_.rowBytes;
    const uint32_t bandRows = layout_.bandUnits * layout_.unitRows;
    const uint32_t first = band * bandRows;
    const uint32_t count = std::min(bandRows, layout_.height - first);
    // The row above the band leads it, so that the band's first row is
    // predicted from it; the first band has none.
    const size_t lead = band > 0 ? rowBytes : 0;
    std::string rows(lead + size_t(count) * rowBytes, '\0');
    uint8_t* own = reinterpret_cast<uint8_t*>(rows.data()) + lead;
    if (!Decode(tif, first, count, own, tile)) return false;
    if (layout_.bits == 16) {  // most significant byte first, as a PDF holds them
      for (size_t i = 0; i + 1 < size_t(count) * rowBytes; i += 2) std::swap(own[i], own[i + 1]);
    }
    {
      std::unique_lock<std::mutex> lock(mutex_);
      lastRows_[band].assign(reinterpret_cast<const char*>(own) + size_t(count - 1) * rowBytes, rowBytes);
      rowReady_.notify_all();
      if (band > 0) {
        rowReady_.wait(lock, [&] { return failed_ || !lastRows_[band - 1].empty(); });
        if (failed_) return false;
        std::memcpy(rows.data(), lastRows_[band - 1].data(), rowBytes);
        std::string().swap(lastRows_[band - 1]);
      }
    }
    std::string predicted = PredictRows(rows, rowBytes, layout_.pixelBytes);
    std::string().swap(rows);
    const size_t skip = band > 0 ? rowBytes + 1 : 0;
    // The band's compression may refer back into the end of the band above,
    // as one stream compressed whole would.
    std::string window;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      const size_t keep = std::min(kWindowBytes, predicted.size() - skip);
      tails_[band].assign(predicted.data() + predicted.size() - keep, keep);
      tailsReady_[band] = true;
      rowReady_.notify_all();
      if (band > 0) {
        rowReady_.wait(lock, [&] { return failed_ || tailsReady_[band - 1]; });
        if (failed_) return false;
        window.swap(tails_[band - 1]);
      }
    }
    joined_.Add(band, DeflateBand(predicted.data() + skip, predicted.size() - skip, window, band + 1 == layout_.bands));
    return true;
  }

  const Layout layout_;
  tiff* const shared_;  // the handle rows are read through one at a time, by one thread at a time
  uint32_t rowsRead_ = 0;
  const std::string path_;
  const uint64_t directory_;
  JoinedBands joined_;
  std::atomic<uint32_t> next_{0};
  std::atomic<bool> failed_{false};
  std::string reason_;  // the first failure's, set with failed_
  std::mutex mutex_;
  std::condition_variable rowReady_;  // a band's rows, its last row or its tail is there
  std::vector<std::string> lastRows_;  // each band's last row, until the band below takes it
  std::vector<std::string> tails_;     // each band's last predicted bytes, until the band below takes them
  std::vector<char> tailsReady_;
};

}  // namespace

SamplePageRead ReadTiffSamplePage(tiff* tif, const std::string& path, uint64_t directory, SamplePage& page,
                                  std::string* refusal, const BandedRead& limits) {
  const std::optional<Layout> layout = PlainLayout(tif, limits);
  if (!layout) return SamplePageRead::kNotPlain;
  const PageSize size{layout->width, layout->height, unsigned(layout->components * layout->bits)};
  std::error_code ec;
  const uint64_t fileBytes = std::filesystem::file_size(path, ec);
  if (std::string why = PageSizeRefusal(size, ec ? 0 : fileBytes, Coding::kTable, kStreamedCopies); !why.empty()) {
    if (refusal) *refusal = why;
    return SamplePageRead::kRefused;
  }
  BandWork work(*layout, tif, path, directory);
  std::vector<std::future<void>> helpers;
  const unsigned threads = std::min<unsigned>(EncodingThreads(), layout->bands);
  for (unsigned i = 1; i < threads; ++i) {
    try {
      helpers.push_back(std::async(std::launch::async, [&work] { work.Run(); }));
    } catch (const std::system_error&) {  // no more threads to be had: the ones there are do the work
      break;
    }
  }
  work.Run();
  for (std::future<void>& helper : helpers) helper.get();
  // The bands' memory, freed in the threads' own heaps, goes back to the
  // system rather than waiting there beside the stream.
  malloc_trim(0);
  if (work.Failed()) {
    if (refusal) *refusal = work.Reason();
    return SamplePageRead::kFailed;
  }
  page.width = static_cast<long>(layout->width);
  page.height = static_cast<long>(layout->height);
  page.components = layout->components;
  page.bitsPerComponent = layout->bits;
  page.stream.data = work.Stream();
  page.stream.filter = "/FlateDecode";
  page.stream.decodeParms = PredictorParms(page.width, page.components, page.bitsPerComponent);
  return SamplePageRead::kRead;
}

}  // namespace quirepane
