// Driving modal Qt dialogs in tests: act on the next modal dialog of a kind
// once it shows, while the code under test waits in its exec().
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cstdlib>
#include <functional>

namespace tessa::test {

// The test program's one Qt application, on the offscreen platform. It is
// never destroyed: ending it among the program's static objects, after
// Qt's own, crashes the program on its way out.
inline QApplication& QtApp() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Calls act with the next visible modal dialog of type T. Polls the event
// loop for up to about 30 seconds; a dialog that never shows makes the
// caller's exec() the one to fail.
template <typename T = QDialog>
void OnNextModal(std::function<void(T*)> act, int tries = 3000) {
  QTimer::singleShot(10, [act, tries] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (dialog && dialog->isVisible()) {
      act(dialog);
    } else if (tries > 0) {
      OnNextModal<T>(act, tries - 1);
    }
  });
}

}  // namespace tessa::test
