// A general prompt with a "Never show this message again" box: the caller
// sets its caption and notice, shows it modally and reads the two flags.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace tessa {

class frmPromptWithDisableOption : public QDialog {
  Q_OBJECT

 public:
  explicit frmPromptWithDisableOption(QWidget* parent = nullptr);

  // True when the never-show-again box was clicked (checking or unchecking).
  bool bClickedCheckBox = false;
  // True when Continue was pressed.
  bool bClickedContinue = false;

  // The notice and the caption, set after the dialog translated its own texts.
  void SetNotification(const std::string& sText);
  QPushButton* CancelButton() const { return cmdCancel_; }

  void chkDontShowAgain_Click();
  void cmdContinue_Click();
  void cmdCancel_Click();

 protected:
  // Each showing starts with both flags false.
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* lblNotification_;
  QPushButton* cmdCancel_;
};

// The two answers of a prompt.
struct PromptAnswer {
  bool bClickedCheckBox = false;
  bool bClickedContinue = false;
};

// Shows the prompt modally with sCaption and sNotification (both already
// translated), without its Cancel button unless bShowCancel.
PromptAnswer ShowPromptWithDisableOption(QWidget* parent, const std::string& sCaption,
                                         const std::string& sNotification, bool bShowCancel);

// The one-time notice before the file manager's options are edited in the
// window; true when the user clicked the never-show-again box.
bool ShowChangeOptionsNotice(QWidget* parent);

}  // namespace tessa
