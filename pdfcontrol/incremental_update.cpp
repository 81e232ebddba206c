#include "pdfcontrol/incremental_update.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <system_error>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "pdfcontrol/file_descriptor.h"
#include "pdfcontrol/pdf_syntax.h"
#include "pdfcontrol/recent_tables.h"
#include "platform/append_in_place.h"
#include "platform/text_file.h"

namespace quirepane {
namespace {

std::system_error Failure(const std::string& what, const std::string& path) { return tessa::SystemFailure(path, what); }

bool IsDelimiter(char c) { return c == '/' || c == '[' || c == ']' || c == '<' || c == '>' || c == '(' || c == ')'; }

// "n g obj" ... "endobj" for one object as it now stands.
std::string SerializeObject(QPDF& pdf, QPDFObjGen og) {
  QPDFObjectHandle object = pdf.getObjectByObjGen(og);
  std::string text = std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " obj\n";
  if (object.isStream()) {
    std::shared_ptr<Buffer> raw = object.getRawStreamData();
    QPDFObjectHandle dict = object.getDict().shallowCopy();
    dict.replaceKey("/Length", QPDFObjectHandle::newInteger(static_cast<long long>(raw->getSize())));
    text += Compact(dict.unparseResolved());
    text += "\nstream\n";
    text.append(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize());
    text += "\nendstream";
  } else {
    text += Compact(object.unparseResolved());
  }
  text += "\nendobj\n";
  return text;
}

// Consecutive runs of object numbers: (first, count).
std::vector<std::pair<int, int>> Runs(const std::vector<int>& numbers) {
  std::vector<std::pair<int, int>> runs;
  for (int n : numbers) {
    if (!runs.empty() && runs.back().first + runs.back().second == n) ++runs.back().second;
    else runs.emplace_back(n, 1);
  }
  return runs;
}

}  // namespace

// An object's text without the blanks that only stand beside a delimiter
// ("<< /Count 3 /Kids [ 4 0 R ] >>" becomes "<</Count 3/Kids[4 0 R]>>"):
// the same object in fewer bytes, which every append writes again. Literal
// strings are copied as they are.
std::string Compact(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(') {
      // A literal string: balanced parentheses, backslash escapes.
      int depth = 0;
      for (; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\\' && i + 1 < text.size()) out += text[++i];
        else if (text[i] == '(') ++depth;
        else if (text[i] == ')' && --depth == 0) break;
      }
      continue;
    }
    if (c == ' ') {
      const bool afterDelimiter = !out.empty() && IsDelimiter(out.back()) && out.back() != '/';
      const bool beforeDelimiter = i + 1 < text.size() && IsDelimiter(text[i + 1]);
      if (afterDelimiter || beforeDelimiter) continue;
    }
    out += c;
  }
  return out;
}

std::optional<XrefTail> ReadXrefTail(int fd, unsigned long long fileSize) {
  const unsigned long long tailStart = fileSize > 2048 ? fileSize - 2048 : 0;
  const std::string tail = ReadAt(fd, tailStart, static_cast<size_t>(fileSize - tailStart));
  const size_t at = tail.rfind("startxref");
  if (at == std::string::npos) return std::nullopt;
  size_t p = at + 9;
  while (p < tail.size() && IsPdfWhiteSpace(tail[p])) ++p;
  unsigned long long offset = 0;
  bool digits = false;
  while (p < tail.size() && tail[p] >= '0' && tail[p] <= '9') {
    offset = offset * 10 + static_cast<unsigned>(tail[p] - '0');
    digits = true;
    ++p;
  }
  if (!digits || offset >= fileSize) return std::nullopt;
  const std::string head = ReadAt(fd, offset, 32);
  size_t skip = 0;
  while (skip < head.size() && IsPdfWhiteSpace(head[skip])) ++skip;
  return XrefTail{offset, head.compare(skip, 4, "xref") != 0};
}

std::string XrefTableAndTrailer(const std::vector<std::pair<QPDFObjGen, unsigned long long>>& offsets, long long size,
                                const std::string& trailerKeys) {
  std::vector<int> numbers;
  for (const auto& [og, offset] : offsets) numbers.push_back(og.getObj());
  std::string text = "xref\n";
  size_t index = 0;
  for (const auto& [first, count] : Runs(numbers)) {
    text += std::to_string(first) + " " + std::to_string(count) + "\n";
    for (int i = 0; i < count; ++i, ++index) {
      char entry[32];
      std::snprintf(entry, sizeof entry, "%010llu %05d n \n", offsets[index].second, offsets[index].first.getGen());
      text += entry;
    }
  }
  return text + "trailer\n" + Compact("<< /Size " + std::to_string(size) + trailerKeys + " >>") + "\n";
}

void WriteUpdate(int fd, const std::string& path, const std::string& update, unsigned long long oldSize) {
  std::string what;
  if (const int code = tessa::AppendInPlace(fd, path, update, oldSize, what))
    throw std::system_error(code, std::generic_category(), what);
}

void AppendIncrementalUpdate(QPDF& pdf, const std::string& path, std::vector<QPDFObjGen> objects,
                             const std::vector<QPDFObjGen>& carried) {
  FileDescriptor fd(path, O_RDWR);
  if (fd.get() < 0) throw Failure("Cannot open", path);
  struct stat st{};
  if (fstat(fd.get(), &st) != 0) throw Failure("Cannot read", path);
  const unsigned long long oldSize = static_cast<unsigned long long>(st.st_size);
  const std::optional<XrefTail> tail = ReadXrefTail(fd.get(), oldSize);
  if (!tail) throw std::runtime_error("Cannot find the cross-reference section of " + path);

  // Offsets of unchanged objects that the new section lists again.
  std::map<QPDFObjGen, unsigned long long> kept;
  std::optional<RecentTables> tables;
  if (!tail->stream) tables.emplace(fd.get(), tail->startxref, oldSize);
  for (const QPDFObjGen& og : carried) {
    if (std::find(objects.begin(), objects.end(), og) != objects.end()) continue;
    std::optional<RecentTables::Entry> at = tables ? tables->Find(og.getObj()) : std::nullopt;
    if (at && at->generation == og.getGen() && at->stream == 0 && at->offset < oldSize) kept[og] = at->offset;
    else objects.push_back(og);
  }
  std::sort(objects.begin(), objects.end());
  objects.erase(std::unique(objects.begin(), objects.end()), objects.end());

  QPDFObjectHandle trailer = pdf.getTrailer();
  long long size = trailer.getKey("/Size").isInteger() ? trailer.getKey("/Size").getIntValue() : 0;
  for (const QPDFObjGen& og : objects) size = std::max<long long>(size, og.getObj() + 1LL);

  std::string update = "\n";
  std::vector<std::pair<QPDFObjGen, unsigned long long>> offsets;
  for (const QPDFObjGen& og : objects) {
    offsets.emplace_back(og, oldSize + update.size());
    update += SerializeObject(pdf, og);
  }
  for (const auto& [og, at] : kept) offsets.emplace_back(og, at);
  std::sort(offsets.begin(), offsets.end());

  std::string trailerKeys = " /Root " + trailer.getKey("/Root").unparse();
  if (trailer.getKey("/Info").isIndirect()) trailerKeys += " /Info " + trailer.getKey("/Info").unparse();
  if (trailer.getKey("/ID").isArray()) trailerKeys += " /ID " + trailer.getKey("/ID").unparseResolved();
  trailerKeys += " /Prev " + std::to_string(tail->startxref);

  const unsigned long long xrefOffset = oldSize + update.size();
  if (!tail->stream) {
    update += XrefTableAndTrailer(offsets, size, trailerKeys);
  } else {
    const int xrefNumber = static_cast<int>(size);
    offsets.emplace_back(QPDFObjGen(xrefNumber, 0), xrefOffset);
    std::vector<int> numbers;
    std::string data;
    for (const auto& [og, offset] : offsets) {
      numbers.push_back(og.getObj());
      data += static_cast<char>(1);
      for (int shift = 32; shift >= 0; shift -= 8) data += static_cast<char>((offset >> shift) & 0xFF);
      data += static_cast<char>((og.getGen() >> 8) & 0xFF);
      data += static_cast<char>(og.getGen() & 0xFF);
    }
    std::string index;
    for (const auto& [first, count] : Runs(numbers)) index += " " + std::to_string(first) + " " + std::to_string(count);
    update += std::to_string(xrefNumber) + " 0 obj\n<< /Type /XRef /Size " + std::to_string(size + 1) +
              " /W [1 5 2] /Index [" + index + " ] /Length " + std::to_string(data.size()) + trailerKeys +
              " >>\nstream\n" + data + "\nendstream\nendobj\n";
  }
  update += "startxref\n" + std::to_string(xrefOffset) + "\n%%EOF\n";
  WriteUpdate(fd.get(), path, update, oldSize);
}

}  // namespace quirepane
