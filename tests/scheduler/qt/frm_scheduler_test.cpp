#include "scheduler/qt/frm_scheduler.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "common/program_modes.h"
#include "common/settings_file.h"
#include "platform/ini_file.h"
#include "scheduler/local_time.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::ScriptedUserInterface;
using test::TempDir;

QApplication& App() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Left for the process's end: destroying it after the test program's
  // other statics crashes in Qt's clean-up.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

struct FakeHost : SchedulerHost {
  std::vector<std::string> runs;
  std::string caption;
  bool running = false;
  std::function<void()> duringRun;
  bool RunTheJobEvent(const std::string& file) override {
    runs.push_back(file);
    if (duringRun) duringRun();
    return true;
  }
  void DisplayTimeRemainingEvent(int32_t d, int32_t h, int32_t m, int32_t s) override {
    caption = std::to_string(d) + ":" + std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s);
  }
  bool bJobRunning() override { return running; }
};

class FrmSchedulerTest : public ::testing::Test {
 protected:
  FrmSchedulerTest() {
    App();
    tz_ = std::make_unique<test::ScopedEnv>("TZ", "UTC0");
    tzset();
    sIniFile = dir_.file("settings.INI");
    job_ = test::WriteFile(dir_.path() / "nightly.ZOL", "");
  }
  ~FrmSchedulerTest() override {
    sIniFile.clear();
    tz_.reset();
    tzset();
  }

  std::unique_ptr<frmScheduler> Load() {
    auto d = std::make_unique<frmScheduler>(host_);
    d->SetUpScheduler(sIniFile);
    d->now = [this] { return now_; };
    return d;
  }
  template <class W>
  static W* Find(frmScheduler& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static void Type(frmScheduler& d, const char* name, const char* text) {
    if (auto* e = d.findChild<QLineEdit*>(name)) e->setText(text);
    else Find<QComboBox>(d, name)->setCurrentText(text);
  }
  static void Click(frmScheduler& d, const char* name) { Find<QAbstractButton>(d, name)->click(); }
  std::string Key(const char* key) { return ReadIniString(sIniFile, "frmScheduler", key, "(none)"); }

  std::unique_ptr<test::ScopedEnv> tz_;
  TempDir dir_;
  std::string job_;
  ScriptedUserInterface ui_;
  FakeHost host_;
  std::time_t now_ = 1'800'000'000;
};

TEST_F(FrmSchedulerTest, FirstStartShowsTheDefaultRule) {
  auto d = Load();
  EXPECT_EQ(d->windowTitle(), "Schedule a Job");
  EXPECT_TRUE(Find<QRadioButton>(*d, "optCalendarBased")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*d, "optDaily")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*d, "optNumDays")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*d, "optImmediately")->isChecked());
  EXPECT_EQ(Find<QLineEdit>(*d, "txtNumDays")->text(), "1");
  const auto& f = d->CollectDataFromFrmScheduler();
  EXPECT_EQ(f.cbHours + ":" + f.cbMinutes + " " + f.cbAmPm, "12:00 AM");
  EXPECT_EQ(f.chkDays, (std::array<bool, 7>{}));
  EXPECT_FALSE(f.chkPersistRunning);
  EXPECT_FALSE(d->bTimerEnabled());
  EXPECT_FALSE(Find<QPushButton>(*d, "cmdEndTimer")->isEnabled());

  // "Every weekday" read from the settings disables the day count.
  WriteIniString(sIniFile, "frmScheduler", "optNumDays", "False");
  WriteIniString(sIniFile, "frmScheduler", "optWeekdays", "True");
  EXPECT_FALSE(Find<QLineEdit>(*Load(), "txtNumDays")->isEnabled());
}

TEST_F(FrmSchedulerTest, BeginRefusesAnInvalidRuleWithItsMessage) {
  struct Case {
    const char* name;
    std::function<void(frmScheduler&)> edit;
    const char* message;
  };
  const auto timeBased = [](frmScheduler& d) { Click(d, "optTimeBased"); };
  const std::vector<Case> cases = {
      {"empty job file",
       [&](frmScheduler& d) { timeBased(d), Type(d, "txtSeconds", "5"), Type(d, "cbScheduledJobFile", ""); },
       "Please enter a job file"},
      {"missing job file",
       [&](frmScheduler& d) { timeBased(d), Type(d, "txtSeconds", "5"), Type(d, "cbScheduledJobFile", "/no.ZOL"); },
       "Job file does not exist"},
      {"hours not a number", [&](frmScheduler& d) { timeBased(d), Type(d, "txtHours", "x"); },
       "Invalid time for hours"},
      {"blank interval", [&](frmScheduler& d) { timeBased(d), Type(d, "txtHours", ""), Type(d, "txtSeconds", " "); },
       "Please enter a time interval"},
      {"interval rounding to 0 s", [&](frmScheduler& d) { timeBased(d), Type(d, "txtSeconds", "0.4"); },
       "Please enter a valid time interval."},
      {"day of month 32 under the daily rule", [](frmScheduler& d) { Type(d, "txtDayOfMonth", "32"); },
       "Date must be between 1 and 31"},
      {"0.4 days", [](frmScheduler& d) { Type(d, "txtNumDays", "0.4"); }, "Invalid number of days entered."},
      {"13 months", [](frmScheduler& d) { Type(d, "txtNumMonths", "13"); },
       "Number of months must be between 1 and 12"},
      {"weekly without a weekday", [](frmScheduler& d) { Click(d, "optWeekly"); },
       "Please select day(s) of the week to run the job."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ui_.boxes.clear();
    auto d = Load();
    Type(*d, "cbScheduledJobFile", job_.c_str());
    c.edit(*d);
    d->cmdStartTimer_Click();
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].prompt, c.message);
    EXPECT_FALSE(d->bTimerEnabled());
    EXPECT_TRUE(Find<QPushButton>(*d, "cmdStartTimer")->isEnabled());
  }
  // Blank interval boxes were shown as "0" before the message.
  auto d = Load();
  Click(*d, "optTimeBased");
  Type(*d, "txtHours", "");
  Type(*d, "cbScheduledJobFile", job_.c_str());
  d->cmdStartTimer_Click();
  EXPECT_EQ(Find<QLineEdit>(*d, "txtHours")->text(), "0");
}

TEST_F(FrmSchedulerTest, SettingsAreWrittenOnUnloadAndReadBackWithTheJobFile) {
  {
    auto d = Load();
    Click(*d, "optWeekly");
    Click(*d, "chkMon");
    Click(*d, "chkFri");
    Type(*d, "txtNumWeeks", "2");
    Find<QComboBox>(*d, "cbHours")->setCurrentText("9");
    Find<QComboBox>(*d, "cbAmPm")->setCurrentText("PM");
    Click(*d, "chkPersistRunning");
    d->pickFile = [&](const std::string&, const std::string&) { return job_; };
    Click(*d, "cmdSelectScheduledJobFile");
    d->cmdStartTimer_Click();
    ASSERT_TRUE(d->bTimerEnabled());
    EXPECT_FALSE(Find<QLineEdit>(*d, "txtNumWeeks")->isEnabled());  // locked while running
  }  // unloaded
  EXPECT_EQ(Key("optWeekly"), "True");
  EXPECT_EQ(Key("optDaily"), "False");
  EXPECT_EQ(Key("chkMon"), "1");
  EXPECT_EQ(Key("chkSun"), "0");
  EXPECT_EQ(Key("cbAmPm"), "PM");
  EXPECT_EQ(Key("dtUserTargetTime"), "9:00:00 PM");
  const LocalDateTime first = LocalTimeOf(now_);  // 2027-01-15, a Friday
  EXPECT_EQ(Key("dtTargetComplete"), "1/15/2027 9:00:00 PM") << first.day;
  EXPECT_EQ(ReadIniString(sIniFile, "mruScheduleSource", "mruScheduleSource1", ""), job_);
  EXPECT_EQ(ReadIniString(sIniFile, "mruScheduleSource", "mruScheduleSource2", ""), "MRU_DONE");

  // Written in a dotted form by another locale: read all the same.
  WriteIniString(sIniFile, "frmScheduler", "dtTargetComplete", "15.01.2027 21.00.00");
  auto d = Load();
  EXPECT_TRUE(ui_.boxes.empty());
  EXPECT_EQ(d->Engine().dtTargetComplete.day, 15);
  SchedulerFields f = d->CollectDataFromFrmScheduler();
  EXPECT_EQ(f.cbScheduledJobFile, job_);
  EXPECT_TRUE(f.optWeekly && f.chkDays[1] && f.chkDays[5] && !f.chkDays[0] && f.chkPersistRunning);
  EXPECT_EQ(f.txtNumWeeks + " " + f.cbHours + " " + f.cbAmPm, "2 9 PM");

  // An invalid rule at unload writes chkPersistRunning = "0" and nothing else.
  Type(*d, "txtNumWeeks", "x");
  Type(*d, "cbScheduledJobFile", "/elsewhere.ZOL");
  d->cmdStartTimer_Click();
  EXPECT_EQ(ui_.boxes.at(0).prompt, "Job file does not exist");
  d->Form_Unload();
  EXPECT_EQ(Key("chkPersistRunning"), "0");
  EXPECT_EQ(Key("txtNumWeeks"), "2");
  EXPECT_EQ(Key("cbScheduledJobFile"), job_);
}

TEST_F(FrmSchedulerTest, APersistedScheduleRestartsOnlyInAShownWindowAndRunsItsJob) {
  WriteIniString(sIniFile, "frmScheduler", "optTimeBased", "True");
  WriteIniString(sIniFile, "frmScheduler", "optCalendarBased", "False");
  WriteIniString(sIniFile, "frmScheduler", "txtSeconds", "10");
  WriteIniString(sIniFile, "frmScheduler", "cbScheduledJobFile", job_);
  WriteIniString(sIniFile, "frmScheduler", "chkPersistRunning", "1");
  WriteIniString(sIniFile, "mruScheduleSource", "mruScheduleSource1", dir_.file("other.ZOL"));
  {
    auto d = Load();
    EXPECT_FALSE(RestartPersistedSchedule(*d, false));
    bCommandLineMode = true;
    EXPECT_FALSE(RestartPersistedSchedule(*d, true));
    bCommandLineMode = false;
    EXPECT_FALSE(d->bTimerEnabled());
  }
  auto d = Load();
  ASSERT_TRUE(RestartPersistedSchedule(*d, true));
  EXPECT_TRUE(d->blnPersistRun);

  // Ticks: the countdown, then the run; a tick that comes while the job
  // runs starts nothing.
  now_ += 1;
  d->Timer1_Timer();
  EXPECT_EQ(host_.caption, "0:0:0:9");
  host_.duringRun = [&] {
    now_ += 15;
    d->Timer1_Timer();
  };
  now_ += 9;
  d->Timer1_Timer();
  EXPECT_EQ(host_.runs, std::vector<std::string>{job_});
  EXPECT_EQ(host_.caption, "0:0:0:0");

  // Pause in the main window: the tick goes off and the form unlocks.
  d->PauseTimer();
  EXPECT_FALSE(d->bTimerEnabled());
  EXPECT_TRUE(Find<QPushButton>(*d, "cmdStartTimer")->isEnabled());
}

TEST_F(FrmSchedulerTest, CtrlTabCyclesTheTabsAndAScreenshotCanBeTaken) {
  auto d = Load();
  d->show();
  d->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
  auto* tabs = Find<QTabWidget>(*d, "TabStrip1");
  Find<QLineEdit>(*d, "txtNumDays")->setFocus();
  QTest::keyClick(d.get(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(tabs->currentIndex(), 1);
  QTest::keyClick(d.get(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(tabs->currentIndex(), 0);  // after the last, the first
  QTest::keyClick(d.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(tabs->currentIndex(), 1);
  if (const char* out = std::getenv("TESSA_SCREENSHOT_DIR")) {
    tabs->setCurrentIndex(0);
    for (const char* option : {"optDaily", "optWeekly", "optMonthly", "optTimeBased"}) {
      Click(*d, option);
      d->grab().save(QString(out) + "/frmScheduler-" + option + ".png");
    }
    tabs->setCurrentIndex(1);
    d->grab().save(QString(out) + "/frmScheduler-options.png");
  }
}

}  // namespace
}  // namespace tessa
