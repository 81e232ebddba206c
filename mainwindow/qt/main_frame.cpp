#include "mainwindow/qt/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "common/qt/qt_translation.h"
#include "common/qt/translate_form.h"
#include "common/translator.h"
#include "engine/main_form.h"
#include "mainwindow/qt/main_form_widget.h"
#include "mainwindow/qt/status_panels.h"
#include "mainwindow/qt/window_user_interface.h"

namespace tessa {

namespace {

int Pixels(int twips) { return twips / kTwipsPerPixel; }
int Twips(int pixels) { return pixels * kTwipsPerPixel; }

bool OnAScreen(const QRect& r) {
  for (const QScreen* s : QGuiApplication::screens())
    if (s->availableGeometry().intersects(r)) return true;
  return false;
}

}  // namespace

MainFrame::MainFrame(MainForm& frm) : frm_(frm) {
  setObjectName("frmMainMDI");
  setWindowTitle("Tessalumen");
  new StatusPanels(*this);
  form_ = new MainFormWidget(frm_, *this);
  setCentralWidget(form_);
  connect(form_, &MainFormWidget::exitRequested, this, &QWidget::close);
  connect(form_, &QWidget::windowTitleChanged, this, [this](const QString& t) { SetJobName(t.toStdString()); });
  jobName_ = form_->windowTitle().toStdString();  // "*": a new job
}

MainFrame::~MainFrame() {
  if (ui_ && &CurrentUserInterface() == ui_.get()) SetUserInterface(nullptr);
}

void MainFrame::UseUserInterface(std::unique_ptr<WindowUserInterface> ui) { ui_ = std::move(ui); }

void MainFrame::Load(bool bWindow) {
  UseQtTranslation(sLanguage);
  settings_ = ReadFrameSettings();
  if (bWindow) {
    if (!ui_) ui_ = std::make_unique<WindowUserInterface>(*this);
    ui_->beforeYield = [this] { form_->UpdateMenuToolbar(); };
    SetUserInterface(ui_.get());
  }
  // The main form translates its own widgets as it loads; the frame's own
  // parts (menus, toolbar, status bar) are translated once, after it.
  form_->Load(bWindow);
  caption_ = Translate(caption_);
  UpdateTitle();
  for (QWidget* part : {static_cast<QWidget*>(menuBar()), static_cast<QWidget*>(findChild<QToolBar*>("tbMain")),
                        static_cast<QWidget*>(statusBar())})
    TranslateForm(part);
  // A job opened before the window was there names itself now.
  if (frm_.sCurrentJobFile != "*") form_->SetFormCaption(frm_.sCurrentJobFile.substr(frm_.sCurrentJobFile.rfind('/') + 1));
}

void MainFrame::ApplyStoredPlacement() {
  const FrameSettings d;
  settings_ = ReadFrameSettings();
  if (settings_.WindowState == 1) {
    showMinimized();
    return;
  }
  if (settings_.WindowState == 2) {
    showMaximized();
    return;
  }
  QRect r(Pixels(settings_.Left), Pixels(settings_.Top), Pixels(settings_.Width), Pixels(settings_.Height));
  if (r.width() < 200 || r.height() < 150) r.setSize(QSize(Pixels(d.Width), Pixels(d.Height)));
  // Off the screens: back to the default top, keeping the stored left and
  // size; the default left too when that alone does not bring it back.
  if (!OnAScreen(r)) r.moveTop(Pixels(d.Top));
  if (!OnAScreen(r)) r.moveLeft(Pixels(d.Left));
  resize(r.size());
  move(r.topLeft());
}

FrameSettings MainFrame::CurrentSettings() const {
  FrameSettings s = settings_;
  s.WindowState = isMinimized() ? 1 : isMaximized() ? 2 : 0;
  if (s.WindowState == 0) {
    s.Left = Twips(pos().x());
    s.Top = Twips(pos().y());
    s.Width = Twips(width());
    s.Height = Twips(height());
  }
  return s;
}

void MainFrame::SetCaption(const std::string& caption) {
  caption_ = caption;
  UpdateTitle();
}

void MainFrame::SetJobName(const std::string& name) {
  jobName_ = name;
  UpdateTitle();
}

void MainFrame::UpdateTitle() {
  std::string title = caption_;
  if (!jobName_.empty()) title += " - [" + jobName_ + "]";
  // Qt reads "[*]" as the place of its modified mark; "[*][*]" shows "[*]",
  // as a new job's caption "*" gives.
  setWindowTitle(QString::fromStdString(title).replace("[*]", "[*][*]"));
}

void MainFrame::closeEvent(QCloseEvent* event) {
  if (unloaded_) {
    event->accept();
    return;
  }
  if (frm_.bInRunLoop() || frm_.bRunning) {
    // The file being converted (or the job being loaded) is finished
    // first: pause, and close when the run or the load has stopped.
    event->ignore();
    frm_.bRunning = false;
    if (!closePending_) {
      closePending_ = true;
      auto* wait = new QTimer(this);
      connect(wait, &QTimer::timeout, this, [this, wait] {
        if (frm_.bInRunLoop() || frm_.bRunning) return;
        wait->deleteLater();
        // A close that the save question then refuses leaves the next one
        // to wait for its own run.
        closePending_ = false;
        close();
      });
      wait->start(50);
    }
    return;
  }
  SaveFrameSettings(CurrentSettings());
  // A job whose save failed or was cancelled keeps the window open.
  if (!form_->Unload()) {
    event->ignore();
    return;
  }
  unloaded_ = true;
  event->accept();
}

}  // namespace tessa
