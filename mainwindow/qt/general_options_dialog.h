// The general options dialog: the run-wide options of the main form (what
// happens to inputs after processing, skipping, file times, retrying with
// automatic type detection, the log file of window runs), changed on Apply.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tessa {

class MainForm;

class frmOptions : public QDialog {
  Q_OBJECT

 public:
  // Shows frmMother's options; nothing is written to it before Apply.
  explicit frmOptions(MainForm& frmMother, QWidget* parent = nullptr);

  // The form whose options are edited.
  MainForm& frmMother;

  void cbDeleteAfterProcessing_Click();
  void cbMoveAfterProcessing_Click();
  void cmdSelectMoveFolder_Click();
  void cmdSelectScheduledJobFile_Click();
  void cmdApply_Click();
  void cmdCancel_Click();
  void cmdHelpRegularExpression_Click();

 private:
  // True while one option box changes the other.
  bool bUpdating_ = false;
  QCheckBox* cbSkipProcessedFiles_;
  QCheckBox* cbUseOriginalTimeStamps_;
  QCheckBox* cbDeleteAfterProcessing_;
  QCheckBox* cbMoveAfterProcessing_;
  QCheckBox* cbTryAutodetectIfFailed_;
  QLineEdit* txtMoveToFolder_;
  QPushButton* cmdSelectMoveFolder_;
  QLineEdit* txtLogFile_;
};

// Edits frmMother's general options modally over parent. Returns
// QDialog::Accepted after Apply, else QDialog::Rejected.
int ShowGeneralOptions(QWidget* parent, MainForm& frmMother);

}  // namespace tessa
