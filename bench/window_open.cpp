// window_open MODE JOB: opens a job file and reports how long it took and
// the memory it added, as one line "MODE ms rss_kb". MODE "window": in the
// shown main window, timed to the to-do grid's first paint after the load;
// MODE "engine": the same open on the engine's form alone, without any
// window (the peer). "make N JOB" writes a job of N conversion tasks.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTableView>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "common/settings_file.h"
#include "engine/main_form.h"
#include "mainwindow/qt/main_form_widget.h"
#include "mainwindow/qt/main_frame.h"

namespace {

long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

class FirstPaint : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted = true;
    return QObject::eventFilter(o, e);
  }
};

int MakeJob(int n, const char* path) {
  std::ofstream out(path, std::ios::binary);
  for (int i = 1; i <= n; ++i)
    out << "M\tFALSE^a^b^c^d^e^2^*^\t" << i << "\tC\t/data/scans/batch" << i / 100 << "/page" << i
        << ".tif\t18\ttif\t/data/pdf/batch" << i / 100 << "/page" << i << ".pdf\t100\tPDF\r\n";
  out << "\t\t*\t\t\t\t\t\t\t\r\n";
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "make") return MakeJob(std::stoi(argv[2]), argv[3]);
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_open window|engine JOB | window_open make N JOB\n");
    return 2;
  }
  const std::string mode = argv[1];
  const std::string job = argv[2];
  QApplication app(argc, argv);
  tessa::sIniFile.clear();  // no settings file: the defaults
  tessa::MainForm frm;
  std::unique_ptr<tessa::MainFrame> frame;
  FirstPaint paint;
  if (mode == "window") {
    frame = std::make_unique<tessa::MainFrame>(frm);
    frame->Load(true);
    frame->ApplyStoredPlacement();
    frame->show();
    for (int i = 0; i < 20; ++i) app.processEvents();
    frame->MainFormW().ToDoView()->viewport()->installEventFilter(&paint);
  }
  const long rssBefore = RssKb();
  QElapsedTimer clock;
  clock.start();
  const bool opened = frm.ConversionJobOpen(job);
  if (frame) {
    paint.painted = false;
    while (!paint.painted && clock.elapsed() < 60000) app.processEvents(QEventLoop::AllEvents, 50);
  }
  const qint64 ms = clock.elapsed();
  std::printf("%s %lld %ld %d\n", mode.c_str(), static_cast<long long>(ms), RssKb() - rssBefore, frm.fgToDo.Rows() - 2);
  return opened ? 0 : 1;
}
