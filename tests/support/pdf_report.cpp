#include "support/pdf_report.h"

#include <cstdlib>
#include <sstream>

#include "support/temp_dir.h"

namespace tessa::test {

bool PdfIsSound(const std::string& path) {
  return RunCommand("qpdf --check " + ShellQuote(path) + " >/dev/null 2>&1").exitCode == 0;
}

std::string PdfInfo(const std::string& path) { return RunCommand("pdfinfo " + ShellQuote(path) + " 2>/dev/null").output; }

std::vector<PdfImage> PdfImages(const std::string& path) {
  std::vector<PdfImage> images;
  std::istringstream list(RunCommand("pdfimages -list " + ShellQuote(path) + " 2>/dev/null | tail -n +3").output);
  std::string line;
  while (std::getline(list, line)) {
    std::istringstream fields(line);
    PdfImage image;
    std::string num, type, comp;
    fields >> image.page >> num >> type >> image.width >> image.height >> image.color >> comp >> image.bpc >> image.encoding;
    images.push_back(image);
  }
  return images;
}

PdfReport InspectPdf(const std::string& path) {
  PdfReport report;
  report.checkPassed = PdfIsSound(path);
  report.info = PdfInfo(path);
  report.pages = std::atoi(InfoField(report, "Pages").c_str());
  if (report.pages > 0) {
    const std::string sizes = RunCommand("pdfinfo -f 1 -l " + std::to_string(report.pages) + " " + ShellQuote(path) +
                                         " 2>/dev/null | grep '^Page.*size:'").output;
    std::istringstream lines(sizes);
    std::string line;
    while (std::getline(lines, line)) {
      const size_t at = line.find("size:");
      double w = 0, h = 0;
      std::istringstream values(line.substr(at + 5));
      std::string x;
      values >> w >> x >> h;
      report.pageSizes.emplace_back(w, h);
    }
  }
  report.images = PdfImages(path);
  return report;
}

std::string InfoField(const std::string& info, const std::string& field) {
  std::istringstream lines(info);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(field + ":", 0) == 0) {
      std::string value = line.substr(field.size() + 1);
      value.erase(0, value.find_first_not_of(' '));
      return value;
    }
  }
  return "";
}

std::string InfoField(const PdfReport& report, const std::string& field) { return InfoField(report.info, field); }

}  // namespace tessa::test
