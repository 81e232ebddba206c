#include "pdfcontrol/tail_snapshot.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "pdfcontrol/file_descriptor.h"
#include "pdfcontrol/incremental_update.h"
#include "pdfcontrol/page_tree.h"
#include "pdfcontrol/pdf_syntax.h"
#include "pdfcontrol/recent_tables.h"

namespace quirepane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameChar(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '#';
}

// Reads the digits at text[p], advancing p; the value stops growing at a
// bound so that a long run cannot overflow.
long long ReadDigits(const std::string& text, size_t& p) {
  long long value = 0;
  for (; p < text.size() && IsDigit(text[p]); ++p) value = std::min<long long>(value * 10 + (text[p] - '0'), 1LL << 40);
  return value;
}

// The indirect references ("n g R") in the text of an object. Scanned by
// hand: a regular expression recurses once per character and overflows the
// stack on a long run of digits or blanks.
std::vector<QPDFObjGen> References(const std::string& text) {
  std::vector<QPDFObjGen> found;
  size_t p = 0;
  while (p < text.size()) {
    if (!IsDigit(text[p])) {
      ++p;
      continue;
    }
    const long long number = ReadDigits(text, p);
    const size_t next = p;  // the next try starts behind this run of digits
    size_t q = p;
    while (q < text.size() && IsPdfWhiteSpace(text[q])) ++q;
    if (q == p || q >= text.size() || !IsDigit(text[q])) continue;
    const long long generation = ReadDigits(text, q);
    const size_t afterGeneration = q;
    while (q < text.size() && IsPdfWhiteSpace(text[q])) ++q;
    if (q == afterGeneration || q >= text.size() || text[q] != 'R' || (q + 1 < text.size() && IsNameChar(text[q + 1]))) {
      p = next;
      continue;
    }
    if (number > 0 && number < kMaxObjectNumber && generation < 65536) {
      found.emplace_back(static_cast<int>(number), static_cast<int>(generation));
    }
    p = q + 1;
  }
  return found;
}

// The value of "n g obj ... endobj" text, parsed without following its
// references; null when it does not parse (a stream's dictionary parses).
QPDFObjectHandle Body(QPDF& scratch, const std::string& text) {
  const size_t body = text.find("obj") + 3;
  std::string value = text.substr(body, text.size() - 6 - body);
  const size_t stream = value.find("stream");
  if (stream != std::string::npos) value.resize(stream);
  try {
    return QPDFObjectHandle::parse(&scratch, value);
  } catch (const std::exception&) {
    return QPDFObjectHandle::newNull();
  }
}

}  // namespace

std::optional<std::string> ReadTailSnapshot(const std::string& path) {
  try {
    FileDescriptor file(path, O_RDONLY);
    const int fd = file.get();
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) return std::nullopt;
    const auto size = static_cast<unsigned long long>(st.st_size);
    // A file with bytes before its header, whose offsets count from it, is
    // read whole.
    const std::string head = ReadAt(fd, 0, 1024);
    if (head.rfind("%PDF-", 0) != 0) return std::nullopt;
    std::optional<XrefTail> tail = ReadXrefTail(fd, size);
    if (!tail) return std::nullopt;
    // The objects read below may stand a few tables back: an update lists
    // the catalog and the information again only every few appends.
    RecentTables tables(fd, tail->startxref, size);
    if (!tables.ok()) return std::nullopt;
    const std::string trailerText = tables.NewestTrailer();
    // Looked for in the text: a reference to an object the scratch document
    // lacks reads as null, and qpdf treats a null value as an absent key. A
    // table that points to a stream of more entries is read whole.
    if (trailerText.find("/Encrypt") != std::string::npos || trailerText.find("/XRefStm") != std::string::npos) {
      return std::nullopt;
    }
    QPDF scratch;
    scratch.emptyPDF();
    QPDFObjectHandle trailer = QPDFObjectHandle::parse(&scratch, trailerText);
    if (!trailer.isDictionary()) return std::nullopt;
    QPDFObjectHandle root = trailer.getKey("/Root");
    QPDFObjectHandle info = trailer.getKey("/Info");
    const long long declaredSize = trailer.getKey("/Size").isInteger() ? trailer.getKey("/Size").getIntValue() : 0;
    if (!root.isIndirect() || declaredSize < 0 || declaredSize > kMaxObjectNumber) return std::nullopt;

    std::vector<std::pair<QPDFObjGen, std::string>> objects;
    auto take = [&](QPDFObjGen og) -> std::string {
      std::string text = tables.ObjectText(og);
      if (!text.empty()) objects.emplace_back(og, text);
      return text;
    };
    const std::string rootText = take(root.getObjGen());
    if (rootText.empty()) return std::nullopt;
    QPDFObjectHandle catalog = Body(scratch, rootText);
    QPDFObjectHandle pages = catalog.isDictionary() ? catalog.getKey("/Pages") : QPDFObjectHandle::newNull();
    if (!pages.isIndirect() || pages.getObjGen() == root.getObjGen()) return std::nullopt;
    const std::string pagesText = take(pages.getObjGen());
    if (pagesText.empty()) return std::nullopt;
    if (info.isIndirect() && info.getObjGen() != root.getObjGen() && info.getObjGen() != pages.getObjGen() &&
        take(info.getObjGen()).empty()) {
      return std::nullopt;
    }
    // The last path of the page tree, down to the last page, as far as the
    // recent tables hold it; the writer checks that it is all there.
    std::set<QPDFObjGen> onPath = {root.getObjGen(), pages.getObjGen()};
    if (info.isIndirect()) onPath.insert(info.getObjGen());
    std::string nodeText = pagesText;
    for (int depth = 0; depth < kPageTreeMaxDepth; ++depth) {
      QPDFObjectHandle node = Body(scratch, nodeText);
      QPDFObjectHandle kids = node.isDictionary() ? node.getKey("/Kids") : QPDFObjectHandle::newNull();
      if (kids.isIndirect()) {
        if (!onPath.insert(kids.getObjGen()).second) break;
        const std::string kidsText = take(kids.getObjGen());
        if (kidsText.empty()) break;
        kids = Body(scratch, kidsText);
      }
      if (!kids.isArray() || kids.getArrayNItems() == 0) break;
      QPDFObjectHandle last = kids.getArrayItem(kids.getArrayNItems() - 1);
      if (!last.isIndirect() || !onPath.insert(last.getObjGen()).second) break;
      nodeText = take(last.getObjGen());
      if (nodeText.empty()) break;
      QPDFObjectHandle kid = Body(scratch, nodeText);
      if (!kid.isDictionary() || !kid.getKey("/Kids").isArray()) break;
    }

    // Every other object these refer to gets a stand-in: qpdf leaves out of a
    // dictionary it writes each key whose reference it cannot follow, which
    // would drop bookmarks, metadata or inherited resources from the update.
    std::set<int> present;
    std::vector<QPDFObjGen> referred;
    for (const auto& [og, text] : objects) {
      present.insert(og.getObj());
      const size_t start = text.find("obj") + 3;
      for (const QPDFObjGen& ref : References(text.substr(start))) referred.push_back(ref);
    }
    for (const QPDFObjGen& ref : referred) {
      if (!present.insert(ref.getObj()).second) continue;
      objects.emplace_back(ref, std::to_string(ref.getObj()) + " " + std::to_string(ref.getGen()) +
                                    " obj\n/NotInSnapshot\nendobj");
    }

    // The highest number in use, so that new objects are numbered after it.
    const int highest = static_cast<int>(tables.NextObjectNumber()) - 1;
    if (highest < 0) return std::nullopt;
    bool haveHighest = false;
    for (const auto& [og, text] : objects) haveHighest = haveHighest || og.getObj() == highest;
    if (!haveHighest && highest > 0) objects.emplace_back(QPDFObjGen(highest, 0), std::to_string(highest) + " 0 obj\nnull\nendobj");

    // The file's own header, so that a version check sees the file's version.
    std::string pdf = head.substr(0, std::min(head.find_first_of("\r\n"), size_t{16})) + "\n";
    std::string table = "xref\n";
    for (const auto& [og, text] : objects) {
      char line[64];
      std::snprintf(line, sizeof line, "%d 1\n%010zu %05d n \n", og.getObj(), pdf.size(), og.getGen());
      table += line;
      pdf += text + "\n";
    }
    // The trailer is written key by key: unparsing it whole would drop every
    // reference that the scratch document cannot resolve, /Info among them.
    std::string trailerOut = "<< /Root " + root.unparse();
    if (info.isIndirect() || info.isDictionary()) trailerOut += " /Info " + info.unparse();
    if (trailer.getKey("/ID").isArray()) trailerOut += " /ID " + trailer.getKey("/ID").unparse();
    trailerOut += " /Size " + std::to_string(std::max<long long>(declaredSize, highest + 1)) + " >>";
    const size_t xrefAt = pdf.size();
    pdf += table + "trailer\n" + trailerOut + "\nstartxref\n" + std::to_string(xrefAt) + "\n%%EOF\n";
    return pdf;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace quirepane
