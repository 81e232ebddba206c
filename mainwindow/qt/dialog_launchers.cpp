#include "mainwindow/qt/dialog_launchers.h"

#include <QPointer>

#include "mainwindow/qt/main_form_widget.h"
#include "mainwindow/qt/scheduler_window.h"
#include "scheduler/qt/frm_scheduler.h"
#include "scheduler/scheduler_host.h"

namespace tessa {

namespace {

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

std::unique_ptr<SchedulerWindow> CreateSchedulerWindow(MainFormWidget& form) {
  return std::make_unique<SchedulerDialog>(form);
}

}  // namespace tessa
