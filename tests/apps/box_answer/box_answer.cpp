// Loaded into tessaprint by tests (LD_PRELOAD) so that its message boxes,
// shown on an off-screen display, are answered at once: every modal dialog
// returns as if its OK button had been pressed. Each box writes the language
// of Qt's own buttons to stderr as "box Cancel: <Qt's text for Cancel>".
#include <QCoreApplication>
#include <QDialog>
#include <QMessageBox>
#include <cstdio>

int QDialog::exec() {
  std::fprintf(stderr, "box Cancel: %s\n", qPrintable(QCoreApplication::translate("QPlatformTheme", "Cancel")));
  return QMessageBox::Ok;
}
