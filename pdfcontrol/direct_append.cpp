// The text written here is what the general road writes for the same page
// (keys in order, no blanks beside delimiters), so that a file reads the
// same whichever road each append took.
#include "pdfcontrol/direct_append.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <system_error>

#include "pdfcontrol/file_descriptor.h"
#include "pdfcontrol/incremental_update.h"
#include "pdfcontrol/object_text.h"
#include "pdfcontrol/page_objects.h"
#include "pdfcontrol/page_tree.h"
#include "pdfcontrol/pdf_syntax.h"
#include "pdfcontrol/recent_tables.h"
#include "platform/text_file.h"

namespace quirepane {
namespace {

using Kind = TextValue::Kind;

constexpr unsigned long long kMaxSectionBytes = 1u << 20;

std::string Ref(QPDFObjGen og) { return PdfRef(og.getObj(), og.getGen()); }

// Listings older than this many tables back are listed again by the next
// update, so that an append never looks far back.
constexpr int kRelistDepth = 7;

// The text of object og ("og obj" ... "endobj") where the recent tables
// place it, or "". Only an object of its own counts: one inside an object
// stream has no offset for an update to carry.
std::string ObjectText(RecentTables& tables, QPDFObjGen og, DirectTail::Carried* where = nullptr) {
  const std::optional<RecentTables::Entry> entry = tables.Find(og.getObj());
  if (!entry || entry->stream != 0) return "";
  std::string text = tables.ObjectText(og);
  if (!text.empty() && where) *where = DirectTail::Carried{og, entry->offset, entry->depth};
  return text;
}

std::optional<TextValue> ReadObject(RecentTables& tables, QPDFObjGen og, DirectTail::Carried* where = nullptr) {
  const std::string text = ObjectText(tables, og, where);
  if (text.empty()) return std::nullopt;
  return ParseObjectText(text);
}

// The bytes of a stream object whose dictionary holds only its /Length, or
// nullopt.
std::optional<std::string> PlainStreamBytes(const std::string& text) {
  const std::optional<TextValue> dict = ParseObjectText(text);
  if (!dict || !dict->Is(Kind::Dictionary) || dict->entries.size() != 1) return std::nullopt;
  const TextValue* length = dict->Find("/Length");
  if (!length || !length->Is(Kind::Integer) || length->number < 0 || length->number > 4096) return std::nullopt;
  size_t at = text.find(">>stream\n");
  if (at == std::string::npos) at = text.find(">>\nstream\n");
  if (at == std::string::npos) return std::nullopt;
  at = text.find("stream\n", at) + 7;
  const size_t n = static_cast<size_t>(length->number);
  size_t end = at + n;
  if (end < text.size() && text[end] == '\r') ++end;
  if (end < text.size() && text[end] == '\n') ++end;
  if (text.compare(end, 9, "endstream") != 0) return std::nullopt;
  return text.substr(at, n);
}

// A node of the page tree as this writer makes them: /Type /Pages, /Count,
// a direct /Kids array of references and /Parent, nothing else (nothing a
// page could inherit).
std::optional<DirectTail::Node> AsNode(const TextValue& value, QPDFObjGen og) {
  if (!value.Is(Kind::Dictionary)) return std::nullopt;
  DirectTail::Node node;
  node.og = og;
  bool typed = false, counted = false, kids = false;
  for (const auto& [key, v] : value.entries) {
    if (key == "/Type" && v.Is(Kind::Name) && v.text == "/Pages") {
      typed = true;
    } else if (key == "/Count" && v.Is(Kind::Integer) && v.number >= 0) {
      counted = true;
      node.count = v.number;
    } else if (key == "/Kids" && v.Is(Kind::Array)) {
      kids = true;
      for (const TextValue& kid : v.items) {
        if (!kid.Is(Kind::Reference)) return std::nullopt;
        node.kids.emplace_back(static_cast<int>(kid.number), kid.generation);
      }
    } else if (key == "/Parent" && v.Is(Kind::Reference)) {
      node.parent = QPDFObjGen(static_cast<int>(v.number), v.generation);
    } else {
      return std::nullopt;
    }
  }
  if (!typed || !counted || !kids) return std::nullopt;
  return node;
}

bool IsPlainText(const std::string& s) {
  for (unsigned char c : s) {
    if (c < 0x20 || c >= 0x7F) return false;
  }
  return true;
}

// The strings of an /ID array written again as the general road writes
// them: in hexadecimal, small letters. "" when they are not two strings of
// bytes that road would write so.
std::string IdText(const TextValue& id) {
  if (!id.Is(Kind::Array) || id.items.size() != 2) return "";
  std::string text = "[";
  for (const TextValue& part : id.items) {
    if (!part.Is(Kind::String) || part.text.empty() || IsPlainText(part.text)) return "";
    text += PdfHexString(part.text);
  }
  return text + "]";
}

}  // namespace

std::optional<DirectTail> ReadDirectTail(const std::string& path) {
  FileDescriptor file(path, O_RDONLY);
  if (file.get() < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  DirectTail tail;
  tail.fileSize = static_cast<unsigned long long>(st.st_size);
  // Offsets count from the header. The last section stands near the end,
  // but for a linearized file's first-page section near its start.
  const std::string head = ReadAt(file.get(), 0, 1024);
  if (head.rfind("%PDF-", 0) != 0) return std::nullopt;
  const bool linearized = head.find("/Linearized") != std::string::npos;
  const std::optional<XrefTail> end = ReadXrefTail(file.get(), tail.fileSize);
  if (!end || (!linearized && tail.fileSize - end->startxref > kMaxSectionBytes)) return std::nullopt;
  tail.startxref = end->startxref;
  RecentTables tables(file.get(), tail.startxref, tail.fileSize);
  if (!tables.ok()) return std::nullopt;
  const std::optional<TextValue> trailer = ParseObjectText(tables.NewestTrailer());
  if (!trailer || !trailer->Is(Kind::Dictionary)) return std::nullopt;
  for (const auto& [key, v] : trailer->entries) {
    if (key == "/Size" && v.Is(Kind::Integer) && v.number >= 0 && v.number <= kMaxObjectNumber) {
      tail.size = v.number;
    } else if (key == "/Root" && v.Is(Kind::Reference)) {
      tail.root.og = QPDFObjGen(static_cast<int>(v.number), v.generation);
    } else if (key == "/Info" && v.Is(Kind::Reference)) {
      tail.info.og = QPDFObjGen(static_cast<int>(v.number), v.generation);
    } else if (key == "/ID") {
      tail.id = IdText(v);
      if (tail.id.empty()) return std::nullopt;
    } else if ((key != "/Prev" && key != "/XRefStm") || !v.Is(Kind::Integer)) {
      return std::nullopt;  // encryption, anything else
    }
  }
  if (tail.root.og.getObj() <= 0 || tail.info.og.getObj() <= 0 || tail.root.og == tail.info.og) return std::nullopt;

  const std::optional<TextValue> catalog = ReadObject(tables, tail.root.og, &tail.root);
  const TextValue* pages = catalog ? catalog->Find("/Pages") : nullptr;
  if (!pages || !pages->Is(Kind::Reference)) return std::nullopt;
  QPDFObjGen next(static_cast<int>(pages->number), pages->generation);
  for (int depth = 0;; ++depth) {
    if (depth >= kPageTreeMaxDepth || next == tail.root.og || next == tail.info.og) return std::nullopt;
    const std::optional<TextValue> value = ReadObject(tables, next);
    if (!value) return std::nullopt;
    const TextValue* type = value->Find("/Type");
    if (depth > 0 && type && type->Is(Kind::Name) && type->text == "/Page") {
      const TextValue* contents = value->Find("/Contents");
      if (contents && contents->Is(Kind::Reference)) {
        DirectTail::Carried where;
        const std::string text = ObjectText(tables, QPDFObjGen(static_cast<int>(contents->number), contents->generation), &where);
        if (std::optional<std::string> bytes = PlainStreamBytes(text)) {
          tail.content = where;
          tail.contentBytes = std::move(*bytes);
        }
      }
      break;
    }
    std::optional<DirectTail::Node> node = AsNode(*value, next);
    if (!node || (depth == 0) != !node->parent || (depth > 0 && *node->parent != tail.path.back().og)) {
      return std::nullopt;
    }
    tail.path.push_back(std::move(*node));
    if (tail.path.back().kids.empty()) {
      if (depth > 0) return std::nullopt;
      break;
    }
    next = tail.path.back().kids.back();
  }

  const std::optional<TextValue> info = ReadObject(tables, tail.info.og, &tail.info);
  if (!info || !info->Is(Kind::Dictionary)) return std::nullopt;
  for (const auto& [key, v] : info->entries) {
    if (v.Is(Kind::String) && !v.hex && IsPlainText(v.text)) tail.infoText[key] = v.text;
  }
  // After the reads above, so that every section they reached counts.
  tail.size = tables.NextObjectNumber();
  if (tail.size <= 0) return std::nullopt;
  return tail;
}

bool AppendPageDirect(const DirectTail& tail, const std::string& path, const PageLayout& page, const ImageObject& image,
                      const std::array<std::string, 7>& info, const char* const keys[7]) {
  const std::string content = PageDrawing(page);
  if (page.draws.size() != 1 || page.draws.front().image != 0 || !image.data || image.bitsPerComponent > 8 || tail.path.empty()) return false;
  for (size_t i = 1; i < info.size(); ++i) {
    if (info[i].empty()) continue;
    auto it = tail.infoText.find(keys[i]);
    if (it == tail.infoText.end() || it->second != info[i]) return false;
  }
  // The lowest node on the last path with room takes the page, through new
  // nodes down to the pages' height when it is not the lowest.
  int level = static_cast<int>(tail.path.size()) - 1;
  while (level >= 0 && tail.path[static_cast<size_t>(level)].kids.size() >= static_cast<size_t>(kPageTreeFanOut)) --level;
  if (level < 0) return false;  // the tree grows a level: the catalog changes

  FileDescriptor file(path, O_RDWR);
  const int fd = file.get();
  if (fd < 0) throw tessa::SystemFailure(path, "Cannot open");
  struct stat st {};
  if (::fstat(fd, &st) != 0 || static_cast<unsigned long long>(st.st_size) != tail.fileSize) return false;

  // A page drawn like the last one shares its content stream.
  const bool shareContent = tail.content && tail.contentBytes == content;
  const int first = static_cast<int>(tail.size);
  const QPDFObjGen imageOg(first, 0);
  const QPDFObjGen contentOg = shareContent ? tail.content->og : QPDFObjGen(first + 1, 0);
  const QPDFObjGen pageOg(shareContent ? first + 1 : first + 2, 0);
  std::vector<DirectTail::Node> nodes(tail.path.begin(), tail.path.begin() + level + 1);
  int nextNumber = pageOg.getObj() + 1;
  for (size_t i = static_cast<size_t>(level) + 1; i < tail.path.size(); ++i) {
    DirectTail::Node node;
    node.og = QPDFObjGen(nextNumber++, 0);
    node.parent = nodes.back().og;
    nodes.back().kids.push_back(node.og);
    nodes.push_back(std::move(node));
  }
  nodes.back().kids.push_back(pageOg);
  for (DirectTail::Node& node : nodes) ++node.count;

  std::vector<std::pair<QPDFObjGen, std::string>> objects;
  for (const DirectTail::Node& node : nodes) {
    std::vector<std::string> kids;
    for (const QPDFObjGen& kid : node.kids) kids.push_back(Ref(kid));
    objects.emplace_back(node.og, PagesNodeDictionary(node.count, kids, node.parent ? Ref(*node.parent) : ""));
  }
  objects.emplace_back(imageOg, ImageDictionary(image));
  if (!shareContent) objects.emplace_back(contentOg, "<</Length " + std::to_string(content.size()) + ">>");
  objects.emplace_back(pageOg, PageDictionary(Ref(contentOg), page, Ref(nodes.back().og), "<</Im1 " + Ref(imageOg) + ">>"));
  std::sort(objects.begin(), objects.end());

  std::string update = "\n";
  std::vector<std::pair<QPDFObjGen, unsigned long long>> offsets;
  for (const auto& [og, text] : objects) {
    offsets.emplace_back(og, tail.fileSize + update.size());
    update += std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " obj\n" + text;
    if (og == imageOg || (og == contentOg && !shareContent)) {
      update += "\nstream\n";
      update += og == imageOg ? *image.data : content;
      update += "\nendstream";
    }
    update += "\nendobj\n";
  }
  // The catalog, the information and a shared content stream stay where
  // they are; a listing that has grown old is repeated, so that the next
  // append finds each within a few tables.
  std::vector<DirectTail::Carried> carried = {tail.root, tail.info};
  if (shareContent) carried.push_back(*tail.content);
  for (const DirectTail::Carried& c : carried) {
    if (c.depth >= kRelistDepth) offsets.emplace_back(c.og, c.offset);
  }
  std::sort(offsets.begin(), offsets.end());
  const long long size = std::max<long long>(tail.size, nextNumber);
  std::string trailerKeys = " /Root " + Ref(tail.root.og) + " /Info " + Ref(tail.info.og);
  if (!tail.id.empty()) trailerKeys += " /ID " + tail.id;
  trailerKeys += " /Prev " + std::to_string(tail.startxref);
  const unsigned long long xrefOffset = tail.fileSize + update.size();
  update += XrefTableAndTrailer(offsets, size, trailerKeys);
  update += "startxref\n" + std::to_string(xrefOffset) + "\n%%EOF\n";
  WriteUpdate(fd, path, update, tail.fileSize);
  return true;
}

}  // namespace quirepane
