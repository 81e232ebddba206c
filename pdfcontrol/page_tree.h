// Keeps a document's page tree balanced while pages are added at its end, so
// that adding a page changes only the nodes on one path from the root down,
// and lays a whole tree out balanced again before a document is rewritten.
#pragma once

#include <set>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace quirepane {

// Most kids a node made here is given; a node with this many takes no more.
constexpr int kPageTreeFanOut = 16;

// Deepest path followed down a tree; a deeper one counts as damaged.
constexpr int kPageTreeMaxDepth = 64;

class PageTreeAppender {
 public:
  // Reads the last path of pdf's tree: from the root down through the last
  // kid of each node to the last page. Only the nodes on that path are
  // read. Throws std::runtime_error when the catalog has no page tree or
  // the path is not made of dictionaries.
  explicit PageTreeAppender(QPDF& pdf);

  // Makes page (an indirect /Page dictionary) the document's last page: it
  // goes into the last node when that has room; else a new node (with new
  // nodes down to the same height) goes into the lowest node on the path
  // with room; when no node has room the tree grows by a new root above the
  // old one. The page gets its /Parent, and /Rotate 0 and a /CropBox equal
  // to its /MediaBox when a node above it would lend it other values.
  void Append(QPDFObjectHandle page);

  // The old objects changed so far and the new nodes made: what an update
  // must write besides the pages. The catalog is among them when the root
  // changed.
  std::vector<QPDFObjGen> Changed() const;

  // Nodes on the current last path, root first.
  size_t Depth() const { return path_.size(); }

 private:
  void Touch(QPDFObjectHandle node);
  QPDFObjectHandle NewNode(QPDFObjectHandle parent);

  QPDF& pdf_;
  std::vector<QPDFObjectHandle> path_;  // root ... node that takes pages
  std::set<QPDFObjGen> changed_;
};

// Rebuilds pdf's whole page tree as a balanced one with the pages in their
// order: inherited attributes are first copied onto every page, then pages
// are grouped kPageTreeFanOut to a node, nodes likewise, up to one root,
// which keeps the old root's object number. For a document written whole.
void RebalancePageTree(QPDF& pdf);

}  // namespace quirepane
