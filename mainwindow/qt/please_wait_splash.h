// The splash shown while the main window starts: the logo and three lines.
#pragma once

#include <QDialog>
#include <memory>

class QLabel;

namespace tessa {

class frmPleaseWait : public QDialog {
  Q_OBJECT

 public:
  explicit frmPleaseWait(QWidget* parent = nullptr);

  QLabel* lblHeader;
  QLabel* lblLine1;
  QLabel* lblLine2;
};

// The start-up splash, filled ("Tessalumen!", the version as "V1.25" for
// 1.2 revision 5, the maker) and shown without blocking; pending window
// events have run. The caller hides it once the main window is shown.
std::unique_ptr<frmPleaseWait> ShowStartupSplash();

}  // namespace tessa
