// Objects are numbered before any is written: 1 the catalog, 2 the
// document information, then the page-tree nodes (root first), then each
// page followed by its drawing and the images it draws first. They are
// written in that order, each image's bytes straight from the caller's
// memory into the file.
#include "pdfcontrol/new_document.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <system_error>

#include "pdfcontrol/replacement_file.h"
#include "platform/text_file.h"

namespace quirepane {
namespace {

// Sixteen bytes that name this file among others: from the system's
// randomness, else from the time and the process. The first byte is never
// plain text, so the identifier is written in hexadecimal.
std::string FileIdentifier() {
  std::string id(16, '\0');
  if (::getentropy(id.data(), id.size()) != 0) {
    const auto now = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned long long mixed = std::hash<unsigned long long>{}(now ^ (static_cast<unsigned long long>(::getpid()) << 40));
    for (size_t i = 0; i < id.size(); ++i) id[i] = static_cast<char>((i < 8 ? now : mixed) >> (8 * (i % 8)));
  }
  id[0] = static_cast<char>(id[0] | 0x80);
  return id;
}

// The output file and how far into it writing has come.
class Output {
 public:
  explicit Output(ReplacementFile& file) : file_(file) {}
  unsigned long long Offset() const { return offset_; }
  void Write(const std::string& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_.file()) != bytes.size()) {
      throw tessa::SystemFailure(file_.temporaryPath(), "Cannot write");
    }
    offset_ += bytes.size();
  }

 private:
  ReplacementFile& file_;
  unsigned long long offset_ = 0;
};

// A node of the page tree.
struct TreeNode {
  int number = 0;
  int parent = 0;  // 0 for the root
  long long count = 0;
  std::vector<int> kids;
};

constexpr size_t kFanOut = 16;

// How many nodes group count pages (or nodes) kFanOut to a node: at least one.
size_t NodesAbove(size_t count) { return std::max<size_t>(1, (count + kFanOut - 1) / kFanOut); }

// How many nodes a balanced tree over pages pages has.
size_t TreeSize(size_t pages) {
  size_t total = 0;
  for (size_t level = NodesAbove(pages);; level = NodesAbove(level)) {
    total += level;
    if (level == 1) return total;
  }
}

// The page tree laid out balanced over pages whose object numbers are
// pageNumbers: pages grouped kFanOut to a node, nodes likewise, up to one
// root. Nodes are numbered from first, root first; they come back in that
// order, and each page's parent goes into pageParents.
std::vector<TreeNode> LayOutTree(const std::vector<int>& pageNumbers, int first, std::vector<int>& pageParents) {
  std::vector<std::vector<TreeNode>> levels;  // the pages' parents first, the root last
  for (size_t below = pageNumbers.size(); levels.empty() || below > 1; below = levels.back().size()) {
    levels.emplace_back(NodesAbove(below));
  }
  int next = first;
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    for (TreeNode& node : *level) node.number = next++;
  }
  pageParents.assign(pageNumbers.size(), 0);
  for (size_t i = 0; i < pageNumbers.size(); ++i) {
    TreeNode& node = levels[0][i / kFanOut];
    node.kids.push_back(pageNumbers[i]);
    ++node.count;
    pageParents[i] = node.number;
  }
  for (size_t l = 1; l < levels.size(); ++l) {
    for (size_t i = 0; i < levels[l - 1].size(); ++i) {
      TreeNode& node = levels[l][i / kFanOut];
      TreeNode& kid = levels[l - 1][i];
      node.kids.push_back(kid.number);
      node.count += kid.count;
      kid.parent = node.number;
    }
  }
  std::vector<TreeNode> nodes;
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
    for (TreeNode& node : *level) nodes.push_back(std::move(node));
  }
  return nodes;
}

}  // namespace

std::string InfoString(const std::string& utf8) {
  bool plain = true;
  for (unsigned char c : utf8) plain = plain && c >= 0x20 && c < 0x7F;
  if (plain) {
    std::string text = "(";
    for (char c : utf8) {
      if (c == '(' || c == ')' || c == '\\') text += '\\';
      text += c;
    }
    return text + ")";
  }
  return PdfHexString("\xFE\xFF" + tessa::EncodeText(utf8, tessa::TextEncoding::Utf16BE));
}

void WriteNewDocument(const std::string& path, const std::vector<PageLayout>& pages, const std::vector<ImageObject>& images,
                      const std::array<std::string, 7>& info, const char* const keys[7]) {
  bool sixteen = false;
  for (const ImageObject& image : images) sixteen = sixteen || image.bitsPerComponent == 16;
  // Keys in order, as every other writer of this library leaves them.
  std::map<std::string, std::string> infoEntries;
  for (size_t i = 1; i < info.size(); ++i) {
    if (!info[i].empty()) infoEntries[keys[i]] = InfoString(info[i]);
  }

  const int catalog = 1;
  const int infoNumber = infoEntries.empty() ? 0 : 2;
  const int firstNode = infoEntries.empty() ? 2 : 3;
  // The tree's size depends only on the page count; the pages, each with
  // its drawing and the images it draws first, follow it.
  std::vector<int> pageParents;
  int next = firstNode + static_cast<int>(TreeSize(pages.size()));
  std::vector<int> pageNumbers;
  std::vector<int> imageNumbers(images.size(), 0);
  for (const PageLayout& page : pages) {
    pageNumbers.push_back(next);
    next += 2;
    for (const PlacedImage& draw : page.draws) {
      if (draw.image >= images.size()) throw std::invalid_argument("a page draws an image that is not there");
      if (imageNumbers[draw.image] == 0) imageNumbers[draw.image] = next++;
    }
  }
  const std::vector<TreeNode> nodes = LayOutTree(pageNumbers, firstNode, pageParents);
  const int size = next;

  ReplacementFile file(path);
  Output out(file);
  std::vector<unsigned long long> offsets(static_cast<size_t>(size), 0);
  auto object = [&](int number, const std::string& text) {
    offsets[static_cast<size_t>(number)] = out.Offset();
    out.Write(std::to_string(number) + " 0 obj\n" + text + "\nendobj\n");
  };
  auto stream = [&](int number, const std::string& dictionary, const std::string& bytes) {
    offsets[static_cast<size_t>(number)] = out.Offset();
    out.Write(std::to_string(number) + " 0 obj\n" + dictionary + "\nstream\n");
    out.Write(bytes);
    out.Write("\nendstream\nendobj\n");
  };

  out.Write(std::string(sixteen ? "%PDF-1.5" : "%PDF-1.3") + "\n%\xBF\xF7\xA2\xFE\n");
  object(catalog, "<</Pages " + PdfRef(nodes.front().number) + "/Type/Catalog>>");
  if (infoNumber != 0) {
    std::string text = "<<";
    for (const auto& [key, value] : infoEntries) text += key + value;
    object(infoNumber, text + ">>");
  }
  for (const TreeNode& node : nodes) {
    std::vector<std::string> kids;
    for (int kid : node.kids) kids.push_back(PdfRef(kid));
    object(node.number, PagesNodeDictionary(node.count, kids, node.parent ? PdfRef(node.parent) : ""));
  }
  std::vector<bool> written(images.size(), false);
  for (size_t p = 0; p < pages.size(); ++p) {
    const PageLayout& page = pages[p];
    std::map<std::string, std::string> xobjects;
    for (const PlacedImage& draw : page.draws) {
      xobjects["/Im" + std::to_string(draw.image + 1)] = PdfRef(imageNumbers[draw.image]);
    }
    std::string resources = "<<";
    for (const auto& [name, ref] : xobjects) resources += name + " " + ref;
    resources += ">>";
    const std::string drawing = PageDrawing(page);
    object(pageNumbers[p], PageDictionary(PdfRef(pageNumbers[p] + 1), page, PdfRef(pageParents[p]), resources));
    stream(pageNumbers[p] + 1, "<</Length " + std::to_string(drawing.size()) + ">>", drawing);
    for (const PlacedImage& draw : page.draws) {
      if (written[draw.image]) continue;
      written[draw.image] = true;
      const ImageObject& image = images[draw.image];
      stream(imageNumbers[draw.image], ImageDictionary(image), image.data ? *image.data : std::string());
    }
  }

  const unsigned long long xref = out.Offset();
  std::string table = "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f \n";
  for (int number = 1; number < size; ++number) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010llu 00000 n \n", offsets[static_cast<size_t>(number)]);
    table += entry;
  }
  const std::string id = PdfHexString(FileIdentifier());
  table += "trailer\n<</ID[" + id + id + "]";
  if (infoNumber != 0) table += "/Info " + PdfRef(infoNumber);
  table += "/Root " + PdfRef(catalog) + "/Size " + std::to_string(size) + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  out.Write(table);
  file.Commit();
}

}  // namespace quirepane
