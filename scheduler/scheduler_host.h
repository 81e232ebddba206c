// What the scheduler asks of the window that owns it: run a job file now,
// show the countdown, and say whether a job is running. MainFormSchedulerHost
// answers all three from the main form.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

class MainForm;

class SchedulerHost {
 public:
  virtual ~SchedulerHost() = default;
  // A run is due: open strTimerFile, rewind it and begin it. False when the
  // run was refused or the job did not open.
  virtual bool RunTheJobEvent(const std::string& strTimerFile) = 0;
  // The distance to the next run, once a second (all zero: a job is running).
  virtual void DisplayTimeRemainingEvent(int32_t lngDays, int32_t lngHours, int32_t lngMinutes,
                                         int32_t lngSeconds) = 0;
  // True while a conversion job runs (scheduled or started by the user).
  virtual bool bJobRunning() = 0;
};

// The main form's answers: frmSched_RunTheJobEvent, the countdown caption
// through frmSched_DisplayTimeRemainingEvent (its job view sets the frame's
// caption), and the run loop's state.
class MainFormSchedulerHost : public SchedulerHost {
 public:
  explicit MainFormSchedulerHost(MainForm& form) : form_(form) {}
  bool RunTheJobEvent(const std::string& strTimerFile) override;
  void DisplayTimeRemainingEvent(int32_t lngDays, int32_t lngHours, int32_t lngMinutes,
                                 int32_t lngSeconds) override;
  bool bJobRunning() override;

 private:
  MainForm& form_;
};

}  // namespace tessa
