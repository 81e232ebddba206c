// What qpdf and poppler's tools say about a PDF, for tests that check the
// PDFs the program writes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tessa::test {

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
  bool checkPassed = false;  // qpdf --check exit 0
  int pages = 0;
  std::vector<std::pair<double, double>> pageSizes;  // points
  std::string info;                                  // pdfinfo output, for the document information
  std::vector<PdfImage> images;
};

// True when qpdf --check finds the PDF at path sound.
bool PdfIsSound(const std::string& path);

// What pdfinfo prints about the PDF at path; "" when it cannot read it.
std::string PdfInfo(const std::string& path);

// The images of the PDF at path as `pdfimages -list` lists them, in order.
std::vector<PdfImage> PdfImages(const std::string& path);

// Runs qpdf --check, pdfinfo and pdfimages -list on the PDF at path.
PdfReport InspectPdf(const std::string& path);

// The value of a "Field:   value" line ("Pages", "Author", ...) of pdfinfo's
// output, "" when absent.
std::string InfoField(const std::string& info, const std::string& field);
std::string InfoField(const PdfReport& report, const std::string& field);

}  // namespace tessa::test
