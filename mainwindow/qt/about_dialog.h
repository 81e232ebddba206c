// The about box: the program's name, version and maker. Double-clicking the
// logo opens the settings file in the desktop's text editor.
#pragma once

#include <QDialog>

namespace tessa {

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit frmAbout(QWidget* parent = nullptr);

  // Opens sIniFile when it exists; otherwise nothing. False when nothing was
  // opened.
  bool picBrindlecoveLogo_DblClick();
};

// Shows the about box modally (Help menu).
void ShowAbout(QWidget* parent);

}  // namespace tessa
