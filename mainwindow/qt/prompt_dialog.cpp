#include "mainwindow/qt/prompt_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "common/qt/translate_form.h"
#include "mainwindow/qt/notice_layout.h"
#include "common/translator.h"

namespace tessa {

frmPromptWithDisableOption::frmPromptWithDisableOption(QWidget* parent) : QDialog(parent) {
  setObjectName("frmPromptWithDisableOption");
  setModal(true);
  const NoticeWidgets w = BuildNoticeLayout(this, QStyle::SP_MessageBoxInformation);
  lblNotification_ = w.lblNotification;
  cmdCancel_ = w.cmdCancel;

  connect(w.chkDontShowAgain, &QCheckBox::clicked, this, [this] { chkDontShowAgain_Click(); });
  connect(w.cmdContinue, &QPushButton::clicked, this, [this] { cmdContinue_Click(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  TranslateForm(this);
}

void frmPromptWithDisableOption::SetNotification(const std::string& sText) {
  lblNotification_->setText(QString::fromStdString(sText));
}

void frmPromptWithDisableOption::showEvent(QShowEvent* event) {
  bClickedCheckBox = false;
  bClickedContinue = false;
  QDialog::showEvent(event);
}

void frmPromptWithDisableOption::chkDontShowAgain_Click() { bClickedCheckBox = true; }

void frmPromptWithDisableOption::cmdContinue_Click() {
  bClickedContinue = true;
  accept();
}

void frmPromptWithDisableOption::cmdCancel_Click() { reject(); }

PromptAnswer ShowPromptWithDisableOption(QWidget* parent, const std::string& sCaption,
                                         const std::string& sNotification, bool bShowCancel) {
  frmPromptWithDisableOption prompt(parent);
  prompt.setWindowTitle(QString::fromStdString(sCaption));
  prompt.SetNotification(sNotification);
  prompt.CancelButton()->setVisible(bShowCancel);
  prompt.exec();
  return {prompt.bClickedCheckBox, prompt.bClickedContinue};
}

bool ShowChangeOptionsNotice(QWidget* parent) {
  // The default pointer while the notice is up, whatever the window showed.
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  const PromptAnswer answer = ShowPromptWithDisableOption(
      parent, Translate("Change Options"),
      Translate("Please change any options you want here. After closing the program, all changes you've made will "
                "be used within Windows Explorer."),
      false);
  QApplication::restoreOverrideCursor();
  return answer.bClickedCheckBox;
}

}  // namespace tessa
