// FreeImage reads a TIFF's first page through the offset in the file's
// header. Each page is read through a view of the mapping whose header
// names that page's directory instead, so the page is the first one there;
// the offsets inside a directory stay those of the file and still hold.
#include "pdfcontrol/tiff_pages.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "pdfcontrol/decode_guard.h"
#include "pdfcontrol/image_header.h"
#include "pdfcontrol/tiff_messages.h"
#include "pdfcontrol/tiff_page_chain.h"
#include "pdfcontrol/tiff_transparency.h"

namespace quirepane {
namespace {

constexpr size_t kMostPages = 1 << 16;
constexpr uint16_t kCompression = 259, kSamplesPerPixel = 277, kExtraSamples = 338;
constexpr uint32_t kCcittRle = 2, kCcittG4 = 4;  // Group 3 lies between

// The mapping as FreeImage's reader sees it: a position and a header of its own.
struct PageView {
  const unsigned char* data;
  size_t size;
  size_t pos;
  unsigned char header[8];
};

unsigned ReadView(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  auto* view = static_cast<PageView*>(handle);
  if (size == 0 || view->pos >= view->size) return 0;
  const size_t n = std::min<size_t>(size_t(size) * count, view->size - view->pos) / size * size;
  std::memcpy(buffer, view->data + view->pos, n);
  for (size_t i = view->pos; i < 8 && i < view->pos + n; ++i) static_cast<unsigned char*>(buffer)[i - view->pos] = view->header[i];
  view->pos += n;
  return static_cast<unsigned>(n / size);
}

unsigned WriteNothing(void*, unsigned, unsigned, fi_handle) { return 0; }

int SeekView(fi_handle handle, long offset, int origin) {
  auto* view = static_cast<PageView*>(handle);
  const long base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? static_cast<long>(view->pos) : static_cast<long>(view->size);
  if (base + offset < 0) return -1;
  view->pos = static_cast<size_t>(base + offset);
  return 0;
}

long TellView(fi_handle handle) { return static_cast<long>(static_cast<PageView*>(handle)->pos); }

}  // namespace

TiffPages::TiffPages(const std::string& path) : map_(path) {
  if (map_.size() < 8 || !IsTiffHead(map_.bytes())) return;
  little_ = map_.data()[0] == 'I';
  std::set<uint32_t> seen;
  for (uint32_t offset = U32(4); offset != 0 && seen.insert(offset).second && seen.size() <= kMostPages;) {
    if (offset > map_.size() - 2) break;
    const uint64_t next = offset + 2 + uint64_t(U16(offset)) * 12;
    if (next > map_.size() - 4) break;
    directories_.push_back(offset);
    offset = U32(next);
  }
}

TiffPages::~TiffPages() = default;

uint32_t TiffPages::U16(uint64_t at) const {
  const unsigned char* p = map_.data() + at;
  return little_ ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1];
}

uint32_t TiffPages::U32(uint64_t at) const {
  const unsigned char* p = map_.data() + at;
  return little_ ? uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24)
                 : (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

std::optional<uint64_t> TiffPages::Entry(int page, uint16_t tag) const {
  const uint32_t dir = directories_[static_cast<size_t>(page)];
  for (uint32_t i = 0, n = U16(dir); i < n; ++i) {
    const uint64_t entry = dir + 2 + uint64_t(i) * 12;
    if (U16(entry) == tag) return entry;
  }
  return std::nullopt;
}

uint32_t TiffPages::Tag(int page, uint16_t tag, uint32_t fallback) const {
  const std::optional<uint64_t> entry = Entry(page, tag);
  const uint32_t type = entry ? U16(*entry + 2) : 0;
  return type == 3 ? U16(*entry + 8) : type == 4 ? U32(*entry + 8) : fallback;
}

BitmapPtr TiffPages::Decode(int page, int flags) const {
  EnsureFreeImage();
  PageView view{map_.data(), map_.size(), 0, {}};
  std::memcpy(view.header, map_.data(), 8);
  const uint32_t dir = directories_[static_cast<size_t>(page)];
  for (int i = 0; i < 4; ++i) view.header[4 + i] = static_cast<unsigned char>(dir >> (little_ ? 8 * i : 24 - 8 * i));
  FreeImageIO io{ReadView, WriteNothing, SeekView, TellView};
  return BitmapPtr(FreeImage_LoadFromHandle(FIF_TIFF, &io, &view, flags));
}

BitmapPtr TiffPages::Load(int page, std::string* refusal) const {
  if (page < 0 || page >= Count()) return nullptr;
  if (const BitmapPtr header = Decode(page, FIF_LOAD_NOPIXELS)) {
    const uint32_t compression = Tag(page, kCompression, 1);
    const Coding coding = compression >= kCcittRle && compression <= kCcittG4 ? Coding::kFax : Coding::kTable;
    std::string why = PageSizeRefusal(SizeOfBitmap(header.get()), map_.size(), coding);
    if (!why.empty()) {
      if (refusal) *refusal = "page " + std::to_string(page + 1) + ": " + why;
      return nullptr;
    }
  }
  const DecoderErrorCapture capture;
  BitmapPtr dib = Decode(page, 0);
  // The decoded page is a copy: the mapped pages read for it can go.
  map_.Release();
  if (capture.Failed()) {
    if (refusal) *refusal = "page " + std::to_string(page + 1) + ": " + capture.Reason();
    return nullptr;
  }
  const std::optional<uint64_t> extras = Entry(page, kExtraSamples);
  DropTransparencyTheTiffLacks(dib.get(), Tag(page, kSamplesPerPixel, 1), extras ? U32(*extras + 4) : 0);
  return dib;
}

StoredResolution TiffPages::Resolution(int page) const {
  if (page < 0 || page >= Count()) return {};
  return ReadTiffDirectoryResolution(map_.bytes(), directories_[static_cast<size_t>(page)]).value_or(StoredResolution{});
}

}  // namespace quirepane
