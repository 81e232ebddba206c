// The scheduler window "Schedule a Job": the user picks a saved job file and
// a rule, begins and ends the schedule; a once-a-second tick asks the rule
// engine whether a run is due and hands runs and the countdown to its host.
// The main form creates one at its load and keeps it for the program's life.
#pragma once

#include <QDialog>
#include <ctime>
#include <functional>
#include <string>

#include "common/mru_list.h"
#include "scheduler/schedule_engine.h"
#include "scheduler/scheduler_fields.h"
#include "scheduler/scheduler_host.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTimer;
class QToolButton;
class QWidget;

namespace tessa {

class frmScheduler : public QDialog {
  Q_OBJECT

 public:
  // Loads the window hidden: reads [frmScheduler], shows the chosen frames
  // and translates itself.
  explicit frmScheduler(SchedulerHost& host, QWidget* parent = nullptr);
  // Unloads it (Form_Unload) when that was not done before.
  ~frmScheduler() override;

  // Reads the job-file history from the settings file at G_IniFilePath and
  // fills the job-file box with it, newest first (a job file already in the
  // box stays there). Call after creating the window and before each show.
  void SetUpScheduler(const std::string& G_IniFilePath);

  // "&Begin": starts the chosen rule after validation, whose failures are
  // shown in message boxes (the fields are focused only while visible).
  void cmdStartTimer_Click();
  void StartRelativeTimer();
  void StartCalendarTimer();

  // "&End": the tick off, "&Done" focused, the form unlocked.
  void EndTimer();
  // Pause in the main window: the tick off and the form unlocked.
  void PauseTimer();
  // Unlocks the rule inputs: "&Begin" on, "&End" off.
  void ResetSchedulerForm();
  // True while a schedule runs (the tick is on).
  bool bTimerEnabled() const;

  // The section [frmScheduler] into the controls, and back (after
  // validation; an invalid rule writes only chkPersistRunning = "0").
  void ReadIniFileScheduler();
  void SaveIniFileScheduler();
  // Writes the job-file history and the section; done once.
  void Form_Unload();

  // The controls' values.
  SchedulerFields CollectDataFromFrmScheduler() const;

  // One tick of Timer1 (every 1000 ms while a schedule runs).
  void Timer1_Timer();

  // Whether "Automatically restart the timer on program load" was ticked
  // when the schedule started.
  bool blnPersistRun = false;

  // The moment the tick reads: the program's clock unless replaced.
  std::function<std::time_t()> now;
  // Asks for a job file (title, filter "Desc|*.x"); "" when cancelled. The
  // file picker unless replaced.
  std::function<std::string(const std::string& title, const std::string& filter)> pickFile;

  ScheduleEngine& Engine() { return engine_; }

 private:
  void BuildForm();
  void ShowFields(const SchedulerFields& f);
  void ShowFamilyFrames();
  void ShowRuleFrames();
  void SetRuleInputsEnabled(bool enabled);
  void LockSchedulerForm();
  void StartTimer();
  void ShowSchedulerError(int code);
  void cmdSelectScheduledJobFile_Click();
  void FillJobFileBox();
  void SelectTab(int step);

  SchedulerHost& host_;
  ScheduleEngine engine_;
  clsMRU history_;
  std::string sJobFile_;
  std::string strTimerFile_;
  bool bRaisingRun_ = false;
  bool bUnloaded_ = false;

  QTimer* Timer1 = nullptr;
  QTabWidget* TabStrip1 = nullptr;
  QStackedWidget *familyFrames_ = nullptr, *ruleFrames_ = nullptr;
  QWidget *fraTimeBased = nullptr, *fraCalendarBased = nullptr;
  QWidget *fraDaily = nullptr, *fraWeekly = nullptr, *fraMonthly = nullptr;
  QComboBox* cbScheduledJobFile = nullptr;
  QPushButton* cmdSelectScheduledJobFile = nullptr;
  QToolButton* picScheduledJobFile = nullptr;
  QRadioButton *optTimeBased = nullptr, *optCalendarBased = nullptr;
  QLineEdit *txtHours = nullptr, *txtMinutes = nullptr, *txtSeconds = nullptr;
  QComboBox *cbHours = nullptr, *cbMinutes = nullptr, *cbAmPm = nullptr;
  QRadioButton *optDaily = nullptr, *optWeekly = nullptr, *optMonthly = nullptr;
  QRadioButton *optNumDays = nullptr, *optWeekdays = nullptr;
  QLineEdit *txtNumDays = nullptr, *txtNumWeeks = nullptr;
  QCheckBox* chkDays[7] = {};
  QLineEdit *txtDayOfMonth = nullptr, *txtNumMonths = nullptr;
  QCheckBox* chkPersistRunning = nullptr;
  QRadioButton *optImmediately = nullptr, *optSkip = nullptr;
  QPushButton *cmdStartTimer = nullptr, *cmdEndTimer = nullptr, *cmdDone = nullptr;
};

// At program load: restarts the schedule saved with "Automatically restart
// the timer on program load" ticked, only when the main window is shown
// (never in a command-line or automation start). True when it runs.
bool RestartPersistedSchedule(frmScheduler& frmSched, bool bWindowShown);

}  // namespace tessa
