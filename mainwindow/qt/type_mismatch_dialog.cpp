#include "mainwindow/qt/type_mismatch_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "mainwindow/qt/notice_layout.h"

namespace tessa {

frmTypeMatchNotification::frmTypeMatchNotification(TypeMismatchNotice& n, QWidget* parent)
    : QDialog(parent), notice(n) {
  setObjectName("frmTypeMatchNotification");
  setWindowTitle(kTypeMismatchCaption);
  setModal(true);
  const NoticeWidgets w = BuildNoticeLayout(this, QStyle::SP_MessageBoxQuestion);
  w.lblNotification->setText(kTypeMismatchText);
  w.chkDontShowAgain->setChecked(notice.bDontShowFileMismatchAgain);

  connect(w.chkDontShowAgain, &QCheckBox::clicked, this, [this] { chkDontShowAgain_Click(); });
  connect(w.cmdContinue, &QPushButton::clicked, this, [this] { cmdContinue_Click(); });
  connect(w.cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmTypeMatchNotification::chkDontShowAgain_Click() {
  notice.bDontShowFileMismatchAgain = !notice.bDontShowFileMismatchAgain;
}

void frmTypeMatchNotification::cmdContinue_Click() {
  notice.bContinueWithMismatchedTypes = true;
  accept();
}

void frmTypeMatchNotification::cmdCancel_Click() {
  notice.bContinueWithMismatchedTypes = false;
  reject();
}

bool ShowTypeMismatchNotice(QWidget* parent, TypeMismatchNotice& notice) {
  notice.bContinueWithMismatchedTypes = false;
  frmTypeMatchNotification dialog(notice, parent);
  dialog.exec();
  return notice.bContinueWithMismatchedTypes;
}

}  // namespace tessa
