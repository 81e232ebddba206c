// The dialogs that the main form opens. Those still to come are stand-ins
// that say so and do nothing else; each function is replaced on its own when
// its dialog arrives.
#include "mainwindow/qt/dialog_launchers.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QVBoxLayout>

#include "common/translator.h"
#include "engine/task/type_mismatch_notice.h"
#include "mainwindow/qt/main_form_widget.h"
#include "mainwindow/qt/scheduler_window.h"
#include "platform/shell_open.h"
#include "scheduler/qt/frm_scheduler.h"
#include "scheduler/scheduler_host.h"

namespace tessa {

namespace {

void NotYet(QWidget* parent, const char* what) {
  QMessageBox box(QMessageBox::Information, QString::fromStdString(Translate(what)),
                  QString::fromStdString(Translate(what) + ": " + Translate("this dialog is not built yet.")),
                  QMessageBox::Ok, parent);
  box.setObjectName("standInDialog");
  box.exec();
}

// The scheduler window, answering the main form through its host.
class SchedulerDialog : public SchedulerWindow {
 public:
  explicit SchedulerDialog(MainFormWidget& form) : host_(form.Form()), dialog_(new frmScheduler(host_, &form)) {}
  ~SchedulerDialog() override { delete dialog_.data(); }
  void SetUpScheduler(const std::string& settingsPath) override { dialog_->SetUpScheduler(settingsPath); }
  void StartTimer() override { dialog_->cmdStartTimer_Click(); }
  bool TimerEnabled() const override { return dialog_ && dialog_->bTimerEnabled(); }
  void StopAndReset() override { dialog_->PauseTimer(); }
  void ShowModal() override { dialog_->exec(); }

 private:
  MainFormSchedulerHost host_;
  QPointer<frmScheduler> dialog_;
};

}  // namespace

void ShowOptionsDialog(MainFormWidget& form) { NotYet(&form, "Options"); }

bool ShowAdvancedOptionsDialog(QWidget* parent, std::string& /*record*/) {
  NotYet(parent, "Advanced Options");
  return false;
}

void ShowLanguageDialog(MainFormWidget& form) { NotYet(&form, "Language"); }

void ShowAboutBox(QWidget* parent) { NotYet(parent, "About"); }

void ShowPromptWithDisableOption(QWidget* parent, const std::string& caption, const std::string& notice,
                                 bool& clickedCheckBox) {
  QMessageBox box(QMessageBox::Information, QString::fromStdString(caption), QString::fromStdString(notice),
                  QMessageBox::NoButton, parent);
  box.addButton(QString::fromStdString(Translate("&Continue")), QMessageBox::AcceptRole);
  auto* never = new QCheckBox(QString::fromStdString(Translate("Never show this message again")));
  box.setCheckBox(never);
  clickedCheckBox = false;
  QObject::connect(never, &QCheckBox::clicked, [&clickedCheckBox] { clickedCheckBox = true; });
  box.exec();
}

QWidget* ShowPleaseWaitSplash(const std::string& header, const std::string& line1, const std::string& line2) {
  auto* splash = new QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
  splash->setObjectName("frmPleaseWait");
  auto* column = new QVBoxLayout(splash);
  column->setContentsMargins(24, 18, 24, 18);
  for (const std::string* text : {&header, &line1, &line2}) column->addWidget(new QLabel(QString::fromStdString(*text)));
  splash->show();
  return splash;
}

void ShowHelpTopic(QWidget* parent, int /*contextId*/, const std::string& fallbackPage) {
  if (!fallbackPage.empty() && ShellOpen(fallbackPage)) return;
  NotYet(parent, "Help File");
}

bool ShowTypeMismatchDialog(QWidget* /*parent*/, TypeMismatchNotice& /*notice*/) { return false; }

std::unique_ptr<SchedulerWindow> CreateSchedulerWindow(MainFormWidget& form) {
  return std::make_unique<SchedulerDialog>(form);
}

void FillRecentJobsMenu(MainFormWidget& /*form*/, QMenu& /*menu*/) {}

void RecordOpenedJobFile(MainFormWidget& /*form*/, const std::string& /*path*/) {}

}  // namespace tessa
