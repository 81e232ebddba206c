// Real image files for engine tests, written with FreeImage, and readers of
// the PDFs the engine makes (through poppler's and qpdf's tools).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/pdf_report.h"
#include "support/scripted_user_interface.h"

namespace tessa::test {

// Writes a width x height image in the format named by extension ("png",
// "jpg", "bmp", "gif", "tif") at path; bpp 1, 8 or 24.
void WriteImage(const std::string& path, int width, int height = 16, int bpp = 24);

// Writes a multi-page TIFF whose page k is widths[k] pixels wide.
void WriteTiffPages(const std::string& path, const std::vector<int>& widths, int bpp = 24);

// The widths of the images of a PDF in page order (one per page here).
std::vector<int> PdfImageWidths(const std::string& pdf);

// The compression tag (259) of the first page of a TIFF file; 0 when absent
// or unreadable.
int TiffCompressionTag(const std::string& path);

// Names of the entries of folder (not recursive), sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// A scripted interface that also keeps every status-panel text in order and
// runs a hook on each yield.
class RecordingUserInterface : public ScriptedUserInterface {
 public:
  void SetStatusPanel(int panel, const std::string& text) override {
    ScriptedUserInterface::SetStatusPanel(panel, text);
    history.push_back({panel, text});
    if (onPanel) onPanel(panel, text);
  }
  void DoEvents() override {
    ScriptedUserInterface::DoEvents();
    if (onYield) onYield();
  }
  std::vector<std::pair<int, std::string>> history;
  std::function<void(int, const std::string&)> onPanel;
  std::function<void()> onYield;
};

}  // namespace tessa::test
