// What the work routines show while they run: the progress window, or a
// stand-in in tests.
#pragma once

#include <string>

namespace tessa::ferrowick {

class ProgressView {
 public:
  virtual ~ProgressView() = default;

  virtual void SetTitle(const std::string& text) = 0;        // the title line
  virtual void SetCurrentFile(const std::string& path) = 0;  // the file being converted
  virtual void SetProgress(int value, int maximum) = 0;      // files done of all
  virtual void SetPercent(const std::string& text) = 0;      // "0%" .. "100%"
  virtual void SetErrors(const std::string& text) = 0;       // the whole error list
  // The end of a run with errors: the error list and Close come into view.
  virtual void ShowErrorLayout() = 0;
  // Lets the window repaint and its buttons work.
  virtual void Yield() = 0;
  // True once the user asked to stop after the current file.
  virtual bool CancelRequested() const = 0;
};

}  // namespace tessa::ferrowick
