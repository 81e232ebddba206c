// tessa_window_shot OUT.png [--run] [--log] [--new] [tessaprint arguments...]:
// starts the main window on what the arguments open (such as /O /J job),
// runs the job from the toolbar when asked, shows the log tab when asked,
// starts a new job (File > New) when asked, and saves the window as a
// picture.
#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/main_form.h"
#include "engine/program/program_startup.h"
#include "mainwindow/qt/main_form_widget.h"
#include "mainwindow/qt/main_frame.h"
#include "mainwindow/qt/window_start.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tessa_window_shot OUT.png [--run] [--log] [--new] [tessaprint arguments...]\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  bool run = false;
  bool log = false;
  bool bNew = false;
  std::vector<std::string> args;
  for (int i = 2; i < argc; ++i) {
    if (std::string(argv[i]) == "--run") {
      run = true;
    } else if (std::string(argv[i]) == "--log") {
      log = true;
    } else if (std::string(argv[i]) == "--new") {
      bNew = true;
    } else {
      args.emplace_back(argv[i]);
    }
  }
  tessa::MainForm frm;
  const tessa::StartupOutcome outcome = tessa::Main(frm, args);
  if (outcome.road != tessa::StartupRoad::kMainWindow) {
    std::fprintf(stderr, "tessa_window_shot: these arguments open no window\n");
    return 1;
  }
  std::unique_ptr<tessa::MainFrame> frame = tessa::ShowMainWindow(frm);
  int code = 0;
  QTimer::singleShot(300, [&] {
    if (run) frame->MainFormW().Action("keyConvert")->trigger();
    if (log) frame->MainFormW().SelectTab(2);
    if (bNew) frame->MainFormW().Action("mnuNewConversionJob")->trigger();
    QTimer::singleShot(700, [&] {
      if (!frame->grab().save(out)) {
        std::fprintf(stderr, "tessa_window_shot: cannot write %s\n", argv[1]);
        code = 1;
      }
      frame->close();
      app.quit();
    });
  });
  app.exec();
  return code;
}
