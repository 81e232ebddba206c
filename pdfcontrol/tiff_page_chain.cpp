#include "pdfcontrol/tiff_page_chain.h"

#include <cstdint>
#include <set>
#include <vector>

#include "pdfcontrol/mapped_file.h"
#include "platform/text_file.h"

namespace quirepane {

namespace {

constexpr uint16_t kStripOffsets = 273, kStripByteCounts = 279, kTileOffsets = 324, kTileByteCounts = 325;
constexpr size_t kMostPages = 1 << 16;

// The file mapped into memory: the directories lie all over it, and a
// buffered stream would read a buffer's worth around each.
class TiffFile {
 public:
  explicit TiffFile(const std::string& path) : map_(path) {}
  uint64_t size() const { return map_.size(); }

  bool Read(uint64_t offset, size_t n, std::vector<unsigned char>& out) {
    if (offset > size() || n > size() - offset) return false;
    out.assign(map_.data() + offset, map_.data() + offset + n);
    return true;
  }
  uint32_t U16(const unsigned char* p) const { return little_ ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1]; }
  uint32_t U32(const unsigned char* p) const {
    return little_ ? uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24)
                   : (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
  }
  bool little_ = true;

 private:
  MappedFile map_;
};

// The values of a SHORT or LONG entry (type 3 or 4); false when they lie
// outside the file.
bool EntryValues(TiffFile& file, const unsigned char* entry, std::vector<uint64_t>& values) {
  const uint32_t type = file.U16(entry + 2), count = file.U32(entry + 4);
  const size_t width = type == 3 ? 2 : type == 4 ? 4 : 0;
  values.clear();
  if (width == 0) return true;  // not a layout this check knows; libtiff judges it
  std::vector<unsigned char> bytes;
  if (width * count <= 4) {
    bytes.assign(entry + 8, entry + 12);
  } else if (!file.Read(file.U32(entry + 8), width * count, bytes)) {
    return false;
  }
  for (uint32_t i = 0; i < count; ++i)
    values.push_back(width == 2 ? file.U16(&bytes[i * 2]) : file.U32(&bytes[i * 4]));
  return true;
}

// True when the directory at offset and the image data it names lie inside
// the file; next gets the offset of the following directory.
bool DirectoryIntact(TiffFile& file, uint64_t offset, uint64_t& next) {
  std::vector<unsigned char> b;
  if (!file.Read(offset, 2, b)) return false;
  const size_t count = file.U16(b.data());
  std::vector<unsigned char> entries;
  if (!file.Read(offset + 2, count * 12 + 4, entries)) return false;
  next = file.U32(&entries[count * 12]);
  std::vector<uint64_t> offsets, lengths, values;
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* e = &entries[i * 12];
    const uint32_t tag = file.U16(e);
    if (tag != kStripOffsets && tag != kStripByteCounts && tag != kTileOffsets && tag != kTileByteCounts) continue;
    if (!EntryValues(file, e, values)) return false;
    (tag == kStripOffsets || tag == kTileOffsets ? offsets : lengths) = values;
  }
  for (size_t i = 0; i < offsets.size() && i < lengths.size(); ++i)
    if (offsets[i] > file.size() || lengths[i] > file.size() - offsets[i]) return false;
  return true;
}

}  // namespace

bool IsTiffHead(std::string_view head) {
  return head.substr(0, 4) == std::string_view("II*\0", 4) || head.substr(0, 4) == std::string_view("MM\0*", 4);
}

bool bIsTiffFile(const std::string& path) { return IsTiffHead(tessa::ReadFileHead(path, 4)); }

bool bIsJpegFile(const std::string& path) { return tessa::ReadFileHead(path, 3) == "\xFF\xD8\xFF"; }

bool bTiffPageChainIntact(const std::string& path) {
  if (!bIsTiffFile(path)) return true;
  TiffFile file(path);
  std::vector<unsigned char> b;
  if (!file.Read(0, 8, b)) return false;
  file.little_ = b[0] == 'I';
  uint64_t offset = file.U32(&b[4]);
  std::set<uint64_t> seen;
  while (offset != 0) {
    if (!seen.insert(offset).second || seen.size() > kMostPages) return false;
    uint64_t next = 0;
    if (!DirectoryIntact(file, offset, next)) return false;
    offset = next;
  }
  return !seen.empty();
}

}  // namespace quirepane
