// The layout the two notices share: a picture and a text side by side, the
// "Never show this message again" box, and Continue and Cancel buttons,
// each named as the dialogs' handlers and tests know them.
#pragma once

#include <QStyle>

class QCheckBox;
class QDialog;
class QLabel;
class QPushButton;

namespace tessa {

struct NoticeWidgets {
  QLabel* lblNotification;
  QCheckBox* chkDontShowAgain;
  QPushButton* cmdContinue;
  QPushButton* cmdCancel;
};

// Lays the notice out in dialog, which owns the widgets.
NoticeWidgets BuildNoticeLayout(QDialog* dialog, QStyle::StandardPixmap picture);

}  // namespace tessa
