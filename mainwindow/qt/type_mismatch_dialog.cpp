#include "mainwindow/qt/type_mismatch_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tessa {

frmTypeMatchNotification::frmTypeMatchNotification(TypeMismatchNotice& n, QWidget* parent)
    : QDialog(parent), notice(n) {
  setObjectName("frmTypeMatchNotification");
  setWindowTitle(kTypeMismatchCaption);
  setModal(true);
  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
  auto* text = new QLabel(kTypeMismatchText, this);
  text->setObjectName("lblNotification");
  text->setWordWrap(true);
  text->setMinimumWidth(360);
  auto* chkDontShowAgain = new QCheckBox("Never show this message again", this);
  chkDontShowAgain->setObjectName("chkDontShowAgain");
  chkDontShowAgain->setChecked(notice.bDontShowFileMismatchAgain);
  auto* buttons = new QDialogButtonBox(this);
  auto* cmdContinue = buttons->addButton("&Continue", QDialogButtonBox::AcceptRole);
  cmdContinue->setObjectName("cmdContinue");
  cmdContinue->setDefault(true);
  auto* cmdCancel = buttons->addButton("Ca&ncel", QDialogButtonBox::RejectRole);
  cmdCancel->setObjectName("cmdCancel");

  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(chkDontShowAgain);
  layout->addWidget(buttons);

  connect(chkDontShowAgain, &QCheckBox::clicked, this, [this] { chkDontShowAgain_Click(); });
  connect(cmdContinue, &QPushButton::clicked, this, [this] { cmdContinue_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
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
