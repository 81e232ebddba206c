// The progress window of a run, "Tessalumen Progress": the title line, the
// file being converted, a progress bar with its percentage, the error list
// (shown once a run ends with errors) and Cancel or Close.
#pragma once

#include <QWidget>

#include "contexthelper/progress_view.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tessa::ferrowick {

class ProgressWindow : public QWidget, public ProgressView {
  Q_OBJECT

 public:
  explicit ProgressWindow(QWidget* parent = nullptr);

  void SetTitle(const std::string& text) override;
  void SetCurrentFile(const std::string& path) override;
  void SetProgress(int value, int maximum) override;
  void SetPercent(const std::string& text) override;
  void SetErrors(const std::string& text) override;
  void ShowErrorLayout() override;
  void Yield() override;
  bool CancelRequested() const override { return cancel_; }

  // While a run uses the window it cannot close: Cancel, Esc and the title
  // bar's close only ask the run to stop after the current file.
  void SetRunning(bool running) { running_ = running; }
  // Closes the window 100 ms from now (after a run without errors).
  void CloseSoon();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Cancel();

  QGroupBox* Frame1;
  QLabel* Label1;
  QLineEdit* txtFile;
  QProgressBar* ProgressBar1;
  QLabel* lblPercent;
  QLabel* lblErrors;
  QPlainTextEdit* txtErrors;
  QPushButton* cmdCancel;
  QPushButton* cmdClose;
  bool running_ = false;
  bool cancel_ = false;
};

}  // namespace tessa::ferrowick
