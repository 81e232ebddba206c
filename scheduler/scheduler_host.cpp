#include "scheduler/scheduler_host.h"

#include "engine/main_form.h"

namespace tessa {

bool MainFormSchedulerHost::RunTheJobEvent(const std::string& strTimerFile) {
  return form_.frmSched_RunTheJobEvent(strTimerFile);
}

void MainFormSchedulerHost::DisplayTimeRemainingEvent(int32_t lngDays, int32_t lngHours, int32_t lngMinutes,
                                                      int32_t lngSeconds) {
  form_.frmSched_DisplayTimeRemainingEvent(lngDays, lngHours, lngMinutes, lngSeconds);
}

bool MainFormSchedulerHost::bJobRunning() { return form_.bInRunLoop() || form_.bRunning; }

}  // namespace tessa
