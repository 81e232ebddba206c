#include "pdfcontrol/page_objects.h"

#include <charconv>
#include <system_error>

#include "pdfcontrol/incremental_update.h"

namespace quirepane {

std::string PdfNumber(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string PdfHexString(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text = "<";
  text.reserve(bytes.size() * 2 + 2);
  for (unsigned char c : bytes) {
    text += kHex[c >> 4];
    text += kHex[c & 15];
  }
  return text + ">";
}

std::string PdfRef(int object, int generation) { return std::to_string(object) + " " + std::to_string(generation) + " R"; }

std::string PageDrawing(const PageLayout& page) {
  std::string text;
  for (const PlacedImage& draw : page.draws) {
    text += "q " + PdfNumber(draw.width) + " 0 0 " + PdfNumber(draw.height) + " " + PdfNumber(draw.x) + " " +
            PdfNumber(draw.y) + " cm /Im" + std::to_string(draw.image + 1) + " Do Q\n";
  }
  return text;
}

std::string ImageDictionary(const ImageObject& image) {
  std::string text = "<</BitsPerComponent " + std::to_string(image.bitsPerComponent) + "/ColorSpace" + Compact(image.colorSpace);
  if (!image.decode.empty()) text += "/Decode" + Compact(image.decode);
  if (!image.decodeParms.empty()) text += "/DecodeParms" + Compact(image.decodeParms);
  if (!image.filter.empty()) text += "/Filter" + image.filter;
  return text + "/Height " + std::to_string(image.height) + "/Length " + std::to_string(image.data ? image.data->size() : 0) +
         "/Subtype/Image/Width " + std::to_string(image.width) + ">>";
}

std::string PageDictionary(const std::string& contents, const PageLayout& page, const std::string& parent,
                           const std::string& xobjects) {
  std::string text = "<</Contents " + contents + "/MediaBox[0 0 " + PdfNumber(page.width) + " " + PdfNumber(page.height) +
                     "]/Parent " + parent + "/Resources<</XObject" + xobjects + ">>";
  if (page.rotate != 0) text += "/Rotate " + std::to_string(page.rotate);
  return text + "/Type/Page>>";
}

std::string PagesNodeDictionary(long long count, const std::vector<std::string>& kids, const std::string& parent) {
  std::string text = "<</Count " + std::to_string(count) + "/Kids[";
  for (size_t i = 0; i < kids.size(); ++i) text += (i ? " " : "") + kids[i];
  text += "]";
  if (!parent.empty()) text += "/Parent " + parent;
  return text + "/Type/Pages>>";
}

}  // namespace quirepane
