// The advanced PDF options dialog: edits one advanced-options record (append,
// the five document-information texts, and the compression and pages used
// when a multi-page TIFF is converted).
#pragma once

#include <QDialog>
#include <string>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tessa {

class MainForm;

class frmQuirepaneAdvancedOptions : public QDialog {
  Q_OBJECT

 public:
  // frmMain is the form whose general options the "General Options" button
  // edits.
  frmQuirepaneAdvancedOptions(MainForm& frmMain, QWidget* parent = nullptr);

  // The record: set it, call Setup, exec, then read it back. Done replaces
  // it with the record of the dialog's fields; Cancel and Esc leave it.
  std::string sDataTransfer;

  // Fills the fields from sDataTransfer; fields it lacks keep their texts.
  void Setup();

  void cmdDone_Click();
  void cmdCancel_Click();
  void cmdOptions_Click();

 private:
  MainForm& frmMain_;
  QCheckBox* cbAppendToEnd_;
  QLineEdit* txtAuthor_;
  QLineEdit* txtCreator_;
  QLineEdit* txtKeywords_;
  QLineEdit* txtSubject_;
  QLineEdit* txtTitle_;
  QLineEdit* txtTiffPagesToDo_;
  QButtonGroup* rbTiffCompressionMethod_;
  QPushButton* cmdDone_;
};

// Edits sRecord modally over parent: Done stores the dialog's record in
// sRecord. Returns QDialog::Accepted for Done, else QDialog::Rejected.
int ShowAdvancedOptions(QWidget* parent, MainForm& frmMain, std::string& sRecord);

}  // namespace tessa
