#include "mainwindow/qt/notice_layout.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessa {

NoticeWidgets BuildNoticeLayout(QDialog* dialog, QStyle::StandardPixmap picture) {
  NoticeWidgets w{};
  auto* icon = new QLabel(dialog);
  icon->setPixmap(dialog->style()->standardIcon(picture).pixmap(32, 32));
  w.lblNotification = new QLabel(dialog);
  w.lblNotification->setObjectName("lblNotification");
  w.lblNotification->setWordWrap(true);
  w.lblNotification->setMinimumWidth(360);
  w.chkDontShowAgain = new QCheckBox("Never show this message again", dialog);
  w.chkDontShowAgain->setObjectName("chkDontShowAgain");
  auto* buttons = new QDialogButtonBox(dialog);
  w.cmdContinue = buttons->addButton("&Continue", QDialogButtonBox::AcceptRole);
  w.cmdContinue->setObjectName("cmdContinue");
  w.cmdContinue->setDefault(true);
  w.cmdCancel = buttons->addButton("Ca&ncel", QDialogButtonBox::RejectRole);
  w.cmdCancel->setObjectName("cmdCancel");

  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(w.lblNotification, 1);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(top);
  layout->addWidget(w.chkDontShowAgain);
  layout->addWidget(buttons);
  return w;
}

}  // namespace tessa
