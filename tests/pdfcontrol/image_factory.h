// Test images written with FreeImage, and what poppler and qpdf report about
// the PDFs made from them.
#pragma once

#include <FreeImage.h>

#include <string>
#include <vector>

namespace quirepane::test {

// Kinds of pixel data a test image can hold.
enum class Pixels { Rgb24, Grey8, Palette8, Bilevel, Rgba32, Rgb16PerChannel };

// Writes a width by height image of the given kind as format fif at path,
// with dpm dots per metre (0 for none) and FreeImage save flags. Returns path.
std::string MakeImage(const std::string& path, FREE_IMAGE_FORMAT fif, int width, int height,
                      Pixels kind = Pixels::Rgb24, unsigned dpm = 0, int flags = 0);

// Writes a TIFF file with one page per size (width, height), saved with the
// TIFF compression flags given. Returns path.
std::string MakeMultipageTiff(const std::string& path, const std::vector<std::pair<int, int>>& sizes,
                              int flags = TIFF_LZW, Pixels kind = Pixels::Rgb24);

// One line of `pdfimages -list`.
struct PdfImage {
  int page = 0;
  int width = 0;
  int height = 0;
  std::string color;  // gray, rgb, index, cmyk
  int bpc = 0;
  std::string encoding;  // jpeg, image
};

struct PdfReport {
  bool checkPassed = false;      // qpdf --check exit 0
  int pages = 0;
  std::vector<std::pair<double, double>> pageSizes;  // points
  std::string info;              // pdfinfo output, for the document information
  std::vector<PdfImage> images;
};

// Runs qpdf --check, pdfinfo and pdfimages -list on the PDF at path.
PdfReport InspectPdf(const std::string& path);

// The value of a pdfinfo field ("Author", "Title", ...), "" when absent.
std::string InfoField(const PdfReport& report, const std::string& field);

// Names in folder that start with "PCR".
std::vector<std::string> LeftoverWorkFiles(const std::string& folder);

}  // namespace quirepane::test
