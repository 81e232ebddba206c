// The text of the objects a page is made of (its dictionary, its drawing,
// its image and the page-tree nodes above it) as this library writes them
// without a document model: keys in order, no blanks beside delimiters. The
// road that starts a new file and the road that appends to one share it, so
// a file reads the same whichever road wrote each page.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quirepane {

// An image placed on a page: its lower-left corner at x, y and stretched to
// width by height, all in points, PDF's own coordinates.
struct PlacedImage {
  size_t image = 0;  // which image of the document, counted from 0; it is drawn as /Im<image + 1>
  double width = 0, height = 0, x = 0, y = 0;
};

struct PageLayout {
  double width = 612, height = 792;  // points
  int rotate = 0;                    // its /Rotate: that of the image last drawn on it
  std::vector<PlacedImage> draws;
};

// An image stream's dictionary entries and bytes, already encoded.
struct ImageObject {
  long width = 0, height = 0;
  int bitsPerComponent = 8;
  std::string colorSpace;  // PDF syntax: "/DeviceRGB", "[/Indexed/DeviceRGB 1<000000ffffff>]"
  std::string filter;      // "/DCTDecode", or "" for none
  std::string decode;      // a /Decode array in PDF syntax, or ""
  std::string decodeParms; // a /DecodeParms dictionary in PDF syntax, or ""
  const std::string* data = nullptr;
  int rotate = 0;          // the /Rotate of a page showing it: a photo's EXIF orientation
};

// A number for a PDF file: at most four decimals, never a locale's comma.
std::string PdfNumber(double value);

// A string of bytes in hexadecimal, small letters: "<0aff>".
std::string PdfHexString(const std::string& bytes);

// "12 0 R".
std::string PdfRef(int object, int generation = 0);

// The drawing of a page: each image placed, in order.
std::string PageDrawing(const PageLayout& page);

// The image's stream dictionary (its /Length that of *image.data).
std::string ImageDictionary(const ImageObject& image);

// A page's dictionary; xobjects is the dictionary of the images it draws
// ("<</Im1 6 0 R>>").
std::string PageDictionary(const std::string& contents, const PageLayout& page, const std::string& parent,
                           const std::string& xobjects);

// A page-tree node: /Count, /Kids, /Parent (none for the root), /Type.
std::string PagesNodeDictionary(long long count, const std::vector<std::string>& kids, const std::string& parent);

}  // namespace quirepane
