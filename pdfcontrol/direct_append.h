// Adding one page to a PDF file straight from the text at its end: the last
// cross-reference table and trailer, the catalog, the last path of the page
// tree and the document information are read without a document model, and
// the update is written from them. An append to a file of many thousands of
// pages so costs what one to a short file costs. This road takes only files
// whose end it can vouch for (the form this writer leaves); anything else,
// and any page it cannot add as the general road would, goes that road.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <qpdf/QPDFObjGen.hh>

#include "pdfcontrol/page_objects.h"

namespace quirepane {

struct DirectTail {
  // An object this road lists again (or leaves where an earlier table
  // lists it) without writing it.
  struct Carried {
    QPDFObjGen og;
    unsigned long long offset = 0;
    int depth = 0;  // how many tables back the newest listing stands
  };
  unsigned long long fileSize = 0;
  unsigned long long startxref = 0;
  Carried root, info;
  std::string id;         // the trailer's /ID as written again ("[<..><..>]"), or ""
  long long size = 0;     // the /Size the next table states at least
  struct Node {
    QPDFObjGen og;
    long long count = 0;
    std::vector<QPDFObjGen> kids;
    std::optional<QPDFObjGen> parent;
  };
  std::vector<Node> path;  // the page tree's root down to the node that holds the last page
  std::map<std::string, std::string> infoText;  // plain-text values of the document information
  // The last page's content stream when it holds nothing but its bytes: a
  // new page that would draw the same shares it.
  std::optional<Carried> content;
  std::string contentBytes;
};

// The end of the PDF file at path as this road needs it, or nullopt when the
// file is not one it can vouch for.
std::optional<DirectTail> ReadDirectTail(const std::string& path);

// Adds page, which shows image (its only one, drawn as /Im1), and sets the
// document information to info (keys[i] = info[i] where info[i] is not
// ""), as one incremental update
// flushed to disk. False, with the file untouched, when this road cannot
// add it exactly as the general road would (the information changes, the
// tree must grow a level, the file changed since it was read); throws
// std::runtime_error when writing fails, the file then cut back.
bool AppendPageDirect(const DirectTail& tail, const std::string& path, const PageLayout& page, const ImageObject& image,
                      const std::array<std::string, 7>& info, const char* const keys[7]);

}  // namespace quirepane
