// A tree grown here fills its nodes from the left: every node but those on
// the last path holds kPageTreeFanOut kids, and all pages of a subtree stand
// at the same depth, so a tree of n pages is about log16(n) deep and adding
// a page rewrites that many small nodes. Trees made by other programs are
// never reshaped by an append: a full node (flat trees of any width among
// them) is left as it is and the new pages go beside it.
#include "pdfcontrol/page_tree.h"

#include <stdexcept>

namespace quirepane {
namespace {

int KidCount(QPDFObjectHandle node) {
  QPDFObjectHandle kids = node.getKey("/Kids");
  return kids.isArray() ? kids.getArrayNItems() : 0;
}

long long PageCount(QPDFObjectHandle node) {
  QPDFObjectHandle count = node.getKey("/Count");
  return count.isInteger() ? count.getIntValue() : 0;
}

bool IsPagesNode(QPDFObjectHandle object) {
  if (!object.isDictionary()) return false;
  QPDFObjectHandle type = object.getKey("/Type");
  if (type.isName()) return type.getName() == "/Pages";
  return object.getKey("/Kids").isArray();
}

QPDFObjectHandle PagesDictionary() {
  QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
  dict.replaceKey("/Type", QPDFObjectHandle::newName("/Pages"));
  dict.replaceKey("/Kids", QPDFObjectHandle::newArray());
  dict.replaceKey("/Count", QPDFObjectHandle::newInteger(0));
  return dict;
}

}  // namespace

PageTreeAppender::PageTreeAppender(QPDF& pdf) : pdf_(pdf) {
  QPDFObjectHandle node = pdf.getRoot().getKey("/Pages");
  if (!node.isDictionary() || !node.isIndirect()) throw std::runtime_error("The document has no page tree");
  for (int depth = 0;; ++depth) {
    if (depth >= kPageTreeMaxDepth) throw std::runtime_error("The page tree is too deep");
    QPDFObjectHandle kids = node.getKey("/Kids");
    if (!kids.isArray()) throw std::runtime_error("A node of the page tree has no kids");
    path_.push_back(node);
    const int n = kids.getArrayNItems();
    if (n == 0) break;
    QPDFObjectHandle last = kids.getArrayItem(n - 1);
    if (!last.isDictionary() || !last.isIndirect()) throw std::runtime_error("The last page of the tree is damaged");
    if (!IsPagesNode(last)) break;
    node = last;
  }
}

void PageTreeAppender::Touch(QPDFObjectHandle node) {
  changed_.insert(node.getObjGen());
  QPDFObjectHandle kids = node.getKey("/Kids");
  if (kids.isIndirect()) changed_.insert(kids.getObjGen());
}

QPDFObjectHandle PageTreeAppender::NewNode(QPDFObjectHandle parent) {
  QPDFObjectHandle dict = PagesDictionary();
  dict.replaceKey("/Parent", parent);
  QPDFObjectHandle node = pdf_.makeIndirectObject(dict);
  parent.getKey("/Kids").appendItem(node);
  return node;
}

void PageTreeAppender::Append(QPDFObjectHandle page) {
  int level = static_cast<int>(path_.size()) - 1;
  while (level >= 0 && KidCount(path_[static_cast<size_t>(level)]) >= kPageTreeFanOut) --level;
  if (level < 0) {
    // Every node on the path is full: a new root above the old one.
    QPDFObjectHandle oldRoot = path_.front();
    QPDFObjectHandle dict = PagesDictionary();
    dict.getKey("/Kids").appendItem(oldRoot);
    dict.replaceKey("/Count", QPDFObjectHandle::newInteger(PageCount(oldRoot)));
    QPDFObjectHandle root = pdf_.makeIndirectObject(dict);
    oldRoot.replaceKey("/Parent", root);
    Touch(oldRoot);
    QPDFObjectHandle catalog = pdf_.getRoot();
    catalog.replaceKey("/Pages", root);
    changed_.insert(catalog.getObjGen());
    path_.insert(path_.begin(), root);
    level = 0;
  }
  // New nodes down to the height of the pages' parents, so that every page
  // stays at the same depth.
  for (size_t i = static_cast<size_t>(level) + 1; i < path_.size(); ++i) path_[i] = NewNode(path_[i - 1]);

  QPDFObjectHandle parent = path_.back();
  page.replaceKey("/Parent", parent);
  parent.getKey("/Kids").appendItem(page);
  bool rotated = false;
  bool cropped = false;
  for (QPDFObjectHandle& node : path_) {
    node.replaceKey("/Count", QPDFObjectHandle::newInteger(PageCount(node) + 1));
    rotated = rotated || node.hasKey("/Rotate");
    cropped = cropped || node.hasKey("/CropBox");
    Touch(node);
  }
  // What the page would otherwise inherit from the nodes above it.
  if (rotated && !page.hasKey("/Rotate")) page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(0));
  if (cropped && !page.hasKey("/CropBox") && page.getKey("/MediaBox").isArray()) {
    page.replaceKey("/CropBox", page.getKey("/MediaBox").shallowCopy());
  }
}

std::vector<QPDFObjGen> PageTreeAppender::Changed() const { return {changed_.begin(), changed_.end()}; }

void RebalancePageTree(QPDF& pdf) {
  pdf.pushInheritedAttributesToPage();
  const std::vector<QPDFObjectHandle> pages = pdf.getAllPages();
  QPDFObjectHandle catalog = pdf.getRoot();
  QPDFObjectHandle root = catalog.getKey("/Pages");
  if (!root.isDictionary() || !root.isIndirect()) {
    root = pdf.makeIndirectObject(PagesDictionary());
    catalog.replaceKey("/Pages", root);
  }

  std::vector<QPDFObjectHandle> level = pages;
  std::vector<long long> counts(pages.size(), 1);
  while (level.size() > static_cast<size_t>(kPageTreeFanOut)) {
    std::vector<QPDFObjectHandle> up;
    std::vector<long long> upCounts;
    for (size_t first = 0; first < level.size(); first += kPageTreeFanOut) {
      QPDFObjectHandle node = pdf.makeIndirectObject(PagesDictionary());
      QPDFObjectHandle kids = node.getKey("/Kids");
      long long count = 0;
      for (size_t i = first; i < level.size() && i < first + kPageTreeFanOut; ++i) {
        level[i].replaceKey("/Parent", node);
        kids.appendItem(level[i]);
        count += counts[i];
      }
      node.replaceKey("/Count", QPDFObjectHandle::newInteger(count));
      up.push_back(node);
      upCounts.push_back(count);
    }
    level = std::move(up);
    counts = std::move(upCounts);
  }

  // The old root keeps its number (and anything not inherited, such as
  // its own entries for other programs) and takes the top level.
  QPDFObjectHandle kids = QPDFObjectHandle::newArray();
  long long total = 0;
  for (size_t i = 0; i < level.size(); ++i) {
    level[i].replaceKey("/Parent", root);
    kids.appendItem(level[i]);
    total += counts[i];
  }
  root.replaceKey("/Type", QPDFObjectHandle::newName("/Pages"));
  root.replaceKey("/Kids", kids);
  root.replaceKey("/Count", QPDFObjectHandle::newInteger(total));
  root.removeKey("/Parent");
  pdf.updateAllPagesCache();
}

}  // namespace quirepane
