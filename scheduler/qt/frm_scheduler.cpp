#include "scheduler/qt/frm_scheduler.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/file_helpers.h"
#include "common/program_modes.h"
#include "common/qt/pickers.h"
#include "common/qt/translate_form.h"
#include "common/translator.h"
#include "common/vb_conversions.h"
#include "platform/clock.h"
#include "platform/user_interface.h"
#include "scheduler/scheduler_settings.h"
#include "scheduler/scheduler_validation.h"

namespace tessa {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(name);
  return w;
}

QLabel* Label(const char* name, const char* text) { return Named(new QLabel(text), name); }

void KeepText(QWidget* w) { w->setProperty("tag", "TranslateFalse"); }

QLineEdit* Box(const char* name, int width) {
  auto* e = Named(new QLineEdit, name);
  e->setMaximumWidth(width);
  return e;
}

QWidget* Row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
  auto* row = new QWidget;
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : widgets) h->addWidget(w);
  if (stretch) h->addStretch(1);
  return row;
}

QFrame* Frame(const char* name) {
  auto* f = Named(new QFrame, name);
  f->setFrameShape(QFrame::StyledPanel);
  return f;
}

void SetListText(QComboBox* list, const std::string& text) {
  const int i = list->findText(Q(text));
  if (i >= 0) list->setCurrentIndex(i);
}

}  // namespace

frmScheduler::frmScheduler(SchedulerHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setObjectName("frmScheduler");
  now = [] { return ReadClockSeconds(); };
  pickFile = [this](const std::string& title, const std::string& filter) {
    long filterIndex = 1;
    return PickFile(this, title, filter, filterIndex);
  };
  BuildForm();
  cmdStartTimer->setEnabled(true);
  cmdEndTimer->setEnabled(false);
  txtNumDays->setEnabled(true);
  ReadIniFileScheduler();
  engine_.bFirstWeeklyCalc = true;
  TranslateForm(this);
}

frmScheduler::~frmScheduler() { Form_Unload(); }

void frmScheduler::BuildForm() {
  setWindowTitle("Schedule a Job");
  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &frmScheduler::Timer1_Timer);

  // --- "Set Up" ---
  auto* fraSetup = Named(new QWidget, "fraSetup");
  auto* setup = new QVBoxLayout(fraSetup);
  auto* Label1 = Label("Label1",
                       "Here you may schedule a 'Conversion Job' to execute periodically.  First select a previously "
                       "saved job file (*.ZOL), then specify the time period.  Click 'Begin' and the job will run "
                       "continuously at the desired interval. ");
  Label1->setWordWrap(true);
  setup->addWidget(Label1);
  setup->addWidget(Label("Label2", "Select an existing job (*.ZOL) file to run:"));
  cbScheduledJobFile = Named(new QComboBox, "cbScheduledJobFile");
  cbScheduledJobFile->setEditable(true);
  cbScheduledJobFile->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  cbScheduledJobFile->setMinimumContentsLength(30);
  KeepText(cbScheduledJobFile);
  cmdSelectScheduledJobFile = Named(new QPushButton("  File.."), "cmdSelectScheduledJobFile");
  picScheduledJobFile = Named(new QToolButton, "picScheduledJobFile");
  picScheduledJobFile->setIcon(QIcon::fromTheme("document-open", style()->standardIcon(QStyle::SP_DirOpenIcon)));
  picScheduledJobFile->setAutoRaise(true);
  setup->addWidget(Row({cbScheduledJobFile, cmdSelectScheduledJobFile, picScheduledJobFile}, false));

  optTimeBased = Named(new QRadioButton("Time Based"), "optTimeBased");
  optCalendarBased = Named(new QRadioButton("Calendar Based"), "optCalendarBased");
  setup->addWidget(Row({optTimeBased, optCalendarBased}));

  fraTimeBased = Frame("fraTimeBased");
  auto* timeBased = new QVBoxLayout(fraTimeBased);
  timeBased->addWidget(Label("Label3", "Specify the time interval for running the job:"));
  txtHours = Box("txtHours", 60);
  txtMinutes = Box("txtMinutes", 60);
  txtSeconds = Box("txtSeconds", 60);
  for (QWidget* w : {static_cast<QWidget*>(txtHours), static_cast<QWidget*>(txtMinutes),
                     static_cast<QWidget*>(txtSeconds)})
    KeepText(w);
  timeBased->addWidget(Row({txtHours, Label("lblHours", "Hours"), txtMinutes, Label("lblMinutes", "Minutes"),
                            txtSeconds, Label("lblSeconds", "Seconds")}));
  timeBased->addStretch(1);

  fraCalendarBased = Frame("fraCalendarBased");
  auto* calendar = new QVBoxLayout(fraCalendarBased);
  cbHours = Named(new QComboBox, "cbHours");
  for (int h = 1; h <= 12; ++h) cbHours->addItem(QString::number(h));
  cbMinutes = Named(new QComboBox, "cbMinutes");
  for (int m = 0; m < 60; ++m) cbMinutes->addItem(QString("%1").arg(m, 2, 10, QChar('0')));
  cbAmPm = Named(new QComboBox, "cbAmPm");
  cbAmPm->addItems({"AM", "PM"});
  calendar->addWidget(Row({Label("Label8", "Start Time:"), cbHours, cbMinutes, cbAmPm}));
  optDaily = Named(new QRadioButton(" Daily"), "optDaily");
  optWeekly = Named(new QRadioButton(" Weekly"), "optWeekly");
  optMonthly = Named(new QRadioButton(" Monthly"), "optMonthly");

  fraDaily = Frame("fraDaily");
  auto* daily = new QVBoxLayout(fraDaily);
  optNumDays = Named(new QRadioButton("Every"), "optNumDays");
  txtNumDays = Box("txtNumDays", 50);
  daily->addWidget(Row({optNumDays, txtNumDays, Label("Label10", "day(s)")}));
  optWeekdays = Named(new QRadioButton("Every weekday"), "optWeekdays");
  daily->addWidget(optWeekdays);
  daily->addStretch(1);

  fraWeekly = Frame("fraWeekly");
  auto* weekly = new QVBoxLayout(fraWeekly);
  txtNumWeeks = Box("txtNumWeeks", 50);
  weekly->addWidget(Row({Label("Label7", "Run the job every "), txtNumWeeks, Label("Label12", "week(s) on:")}));
  auto* days = new QGridLayout;
  static const char* kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  for (int i = 0; i < 7; ++i) {
    chkDays[i] = Named(new QCheckBox(kDayNames[i]), kWeekdayBoxes[static_cast<size_t>(i)]);
    days->addWidget(chkDays[i], i / 4, i % 4);
    days->setColumnStretch(i % 4, 1);
  }
  weekly->addLayout(days);
  weekly->addStretch(1);

  fraMonthly = Frame("fraMonthly");
  auto* monthly = new QVBoxLayout(fraMonthly);
  txtDayOfMonth = Box("txtDayOfMonth", 50);
  txtNumMonths = Box("txtNumMonths", 50);
  KeepText(txtDayOfMonth);
  KeepText(txtNumMonths);
  monthly->addWidget(Row({Label("Label13", "Day "), txtDayOfMonth, Label("Label14", "of every "), txtNumMonths,
                          Label("Label15", "month(s)")}));
  auto* Label16 =
      Label("Label16", "Note:  Enter 31 to run on the last day of each month.  The maximum number of months is 12.");
  Label16->setWordWrap(true);
  monthly->addWidget(Label16);
  monthly->addStretch(1);

  // The frames of a choice share one place, sized for the largest.
  auto* rules = new QHBoxLayout;
  auto* ruleOptions = new QVBoxLayout;
  for (QWidget* w : {optDaily, optWeekly, optMonthly}) ruleOptions->addWidget(w);
  ruleOptions->addStretch(1);
  rules->addLayout(ruleOptions);
  ruleFrames_ = new QStackedWidget;
  for (QWidget* w : {fraDaily, fraWeekly, fraMonthly}) ruleFrames_->addWidget(w);
  rules->addWidget(ruleFrames_, 1);
  calendar->addLayout(rules, 1);
  familyFrames_ = new QStackedWidget;
  familyFrames_->addWidget(fraTimeBased);
  familyFrames_->addWidget(fraCalendarBased);
  setup->addWidget(familyFrames_, 1);

  // --- "Options" ---
  auto* fraOptions = Named(new QWidget, "fraOptions");
  auto* options = new QVBoxLayout(fraOptions);
  chkPersistRunning = Named(new QCheckBox(" Automatically restart the timer on program load"), "chkPersistRunning");
  options->addWidget(chkPersistRunning);
  options->addSpacing(12);
  options->addWidget(Label("Label11", "Time Based:"));
  auto* Label9 = Label("Label9",
                       "If the time period to run a job exceeds the interval you specified, how would you like the "
                       "next job to be run:");
  Label9->setWordWrap(true);
  options->addWidget(Label9);
  optImmediately =
      Named(new QRadioButton("Immediately after the current job finishes (continuous)"), "optImmediately");
  optSkip = Named(new QRadioButton("Skip this run and set the timer for the next one"), "optSkip");
  options->addWidget(optImmediately);
  options->addWidget(optSkip);
  options->addStretch(1);

  TabStrip1 = Named(new QTabWidget, "TabStrip1");
  TabStrip1->addTab(fraSetup, "Set Up");
  TabStrip1->addTab(fraOptions, "Options");

  cmdStartTimer = Named(new QPushButton("&Begin"), "cmdStartTimer");
  cmdEndTimer = Named(new QPushButton("&End"), "cmdEndTimer");
  cmdDone = Named(new QPushButton("&Done"), "cmdDone");
  for (QPushButton* b : {cmdStartTimer, cmdEndTimer, cmdDone}) b->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {cmdStartTimer, cmdEndTimer, cmdDone}) buttons->addWidget(b);

  auto* main = new QVBoxLayout(this);
  main->addWidget(TabStrip1, 1);
  main->addLayout(buttons);

  // Each set of options chooses one.
  for (auto set : {std::initializer_list<QRadioButton*>{optTimeBased, optCalendarBased},
                   {optDaily, optWeekly, optMonthly},
                   {optNumDays, optWeekdays},
                   {optImmediately, optSkip}}) {
    auto* group = new QButtonGroup(this);
    for (QRadioButton* r : set) group->addButton(r);
  }
  connect(optTimeBased, &QRadioButton::toggled, this, &frmScheduler::ShowFamilyFrames);
  for (QRadioButton* r : {optDaily, optWeekly, optMonthly})
    connect(r, &QRadioButton::toggled, this, &frmScheduler::ShowRuleFrames);
  connect(optNumDays, &QRadioButton::toggled, txtNumDays, &QWidget::setEnabled);
  // Chosen from the settings, "Every weekday" is checked without optNumDays
  // ever having been: it disables the box itself.
  connect(optWeekdays, &QRadioButton::toggled, txtNumDays, [this](bool on) {
    if (on) txtNumDays->setEnabled(false);
  });
  connect(cmdSelectScheduledJobFile, &QPushButton::clicked, this, &frmScheduler::cmdSelectScheduledJobFile_Click);
  connect(picScheduledJobFile, &QToolButton::clicked, this, &frmScheduler::cmdSelectScheduledJobFile_Click);
  connect(cmdStartTimer, &QPushButton::clicked, this, &frmScheduler::cmdStartTimer_Click);
  connect(cmdEndTimer, &QPushButton::clicked, this, &frmScheduler::EndTimer);
  connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);

  // Ctrl+Tab and Ctrl+Shift+Tab cycle the tabs wherever the focus is.
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this), &QShortcut::activated, this,
          [this] { SelectTab(1); });
  for (const QKeySequence& back : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)})
    connect(new QShortcut(back, this), &QShortcut::activated, this, [this] { SelectTab(-1); });
}

void frmScheduler::ShowFamilyFrames() {
  familyFrames_->setCurrentWidget(optTimeBased->isChecked() ? fraTimeBased : fraCalendarBased);
}

void frmScheduler::ShowRuleFrames() {
  ruleFrames_->setCurrentWidget(optWeekly->isChecked() ? fraWeekly : optMonthly->isChecked() ? fraMonthly : fraDaily);
}

void frmScheduler::SelectTab(int step) {
  const int n = TabStrip1->count();
  TabStrip1->setCurrentIndex((TabStrip1->currentIndex() + step + n) % n);
}

SchedulerFields frmScheduler::CollectDataFromFrmScheduler() const {
  SchedulerFields f;
  f.cbScheduledJobFile = S(cbScheduledJobFile->currentText());
  f.optTimeBased = optTimeBased->isChecked();
  f.optCalendarBased = optCalendarBased->isChecked();
  f.txtHours = S(txtHours->text());
  f.txtMinutes = S(txtMinutes->text());
  f.txtSeconds = S(txtSeconds->text());
  f.optImmediately = optImmediately->isChecked();
  f.optSkip = optSkip->isChecked();
  f.optDaily = optDaily->isChecked();
  f.optWeekly = optWeekly->isChecked();
  f.optMonthly = optMonthly->isChecked();
  f.cbHours = S(cbHours->currentText());
  f.cbMinutes = S(cbMinutes->currentText());
  f.cbAmPm = S(cbAmPm->currentText());
  f.optNumDays = optNumDays->isChecked();
  f.optWeekdays = optWeekdays->isChecked();
  f.txtNumDays = S(txtNumDays->text());
  f.txtNumWeeks = S(txtNumWeeks->text());
  for (size_t i = 0; i < 7; ++i) f.chkDays[i] = chkDays[i]->isChecked();
  f.txtDayOfMonth = S(txtDayOfMonth->text());
  f.txtNumMonths = S(txtNumMonths->text());
  f.chkPersistRunning = chkPersistRunning->isChecked();
  return f;
}

void frmScheduler::ShowFields(const SchedulerFields& f) {
  cbScheduledJobFile->setCurrentText(Q(f.cbScheduledJobFile));
  // An option set to True is chosen; one set to False leaves the choice.
  auto choose = [](QRadioButton* r, bool on) {
    if (on) r->setChecked(true);
  };
  choose(optTimeBased, f.optTimeBased);
  choose(optCalendarBased, f.optCalendarBased);
  txtHours->setText(Q(f.txtHours));
  txtMinutes->setText(Q(f.txtMinutes));
  txtSeconds->setText(Q(f.txtSeconds));
  choose(optImmediately, f.optImmediately);
  choose(optSkip, f.optSkip);
  choose(optDaily, f.optDaily);
  choose(optWeekly, f.optWeekly);
  choose(optMonthly, f.optMonthly);
  SetListText(cbHours, f.cbHours);
  SetListText(cbMinutes, f.cbMinutes);
  SetListText(cbAmPm, f.cbAmPm);
  choose(optNumDays, f.optNumDays);
  choose(optWeekdays, f.optWeekdays);
  txtNumDays->setText(Q(f.txtNumDays));
  txtNumWeeks->setText(Q(f.txtNumWeeks));
  for (size_t i = 0; i < 7; ++i) chkDays[i]->setChecked(f.chkDays[i]);
  txtDayOfMonth->setText(Q(f.txtDayOfMonth));
  txtNumMonths->setText(Q(f.txtNumMonths));
  chkPersistRunning->setChecked(f.chkPersistRunning);
  ShowFamilyFrames();
  ShowRuleFrames();
}

void frmScheduler::ReadIniFileScheduler() {
  SchedulerFields f;
  tessa::ReadIniFileScheduler(f, engine_.dtUserTargetTime, engine_.dtTargetComplete);
  ShowFields(f);
  TabStrip1->setCurrentIndex(0);  // intTabSetUp is read by nobody: "Set Up" shows
}

void frmScheduler::SaveIniFileScheduler() {
  if (bCommandLineMode || bAutomationMode) return;
  SchedulerFields f = CollectDataFromFrmScheduler();
  if (ValidateSchedule(f, sJobFile_) != 0) {
    WritePersistRunningOff();
    return;
  }
  WriteIniFileScheduler(f, engine_.dtUserTargetTime, engine_.dtTargetComplete);
}

void frmScheduler::Form_Unload() {
  if (bUnloaded_) return;
  bUnloaded_ = true;
  Timer1->stop();
  history_.ShutDown();
  SaveIniFileScheduler();
}

void frmScheduler::SetUpScheduler(const std::string& G_IniFilePath) {
  history_ = clsMRU();
  history_.Setup(20, G_IniFilePath, "mruScheduleSource", "-1");
  FillJobFileBox();
}

void frmScheduler::FillJobFileBox() {
  const QString current = cbScheduledJobFile->currentText();
  cbScheduledJobFile->clear();
  for (const auto& item : history_.NewestFirst()) cbScheduledJobFile->addItem(Q(item));
  if (!current.isEmpty()) cbScheduledJobFile->setCurrentText(current);
  else if (cbScheduledJobFile->count() > 0) cbScheduledJobFile->setCurrentIndex(0);
}

void frmScheduler::cmdSelectScheduledJobFile_Click() {
  const std::string file = pickFile(Translate("Select .ZOL Job File"), "ZOL Job File|*.zol");
  sJobFile_ = file;
  if (file.empty()) {
    CurrentUserInterface().MsgBox(Translate("Please select a job file"), vbOKOnly, "");
  } else if (bFileExists(file)) {
    history_.AddUniqueItemToCollection(file);
    cbScheduledJobFile->setCurrentText(Q(file));
    FillJobFileBox();
  } else {
    CurrentUserInterface().MsgBox(Translate("Job file does not exist"), vbOKOnly, "");
  }
}

void frmScheduler::cmdStartTimer_Click() {
  if (optTimeBased->isChecked()) StartRelativeTimer();
  else if (optCalendarBased->isChecked()) StartCalendarTimer();
}

void frmScheduler::StartRelativeTimer() {
  sJobFile_ = S(cbScheduledJobFile->currentText());
  SchedulerFields f = CollectDataFromFrmScheduler();
  const int code = ValidateTimeBased(f, sJobFile_);
  ShowFields(f);  // blank interval boxes now read "0"
  if (code != 0) {
    ShowSchedulerError(code);
    return;
  }
  engine_.Start(RuleFromFields(f), now());
  LockSchedulerForm();
  history_.WriteCollectionToIniFile();
  StartTimer();
}

void frmScheduler::StartCalendarTimer() {
  sJobFile_ = S(cbScheduledJobFile->currentText());
  SchedulerFields f = CollectDataFromFrmScheduler();
  const int code = ValidateCalendarBased(f, sJobFile_);
  ShowFields(f);  // blank count boxes now read "1"
  if (code != 0) {
    ShowSchedulerError(code);
    return;
  }
  const int day = static_cast<int>(ValText(f.txtDayOfMonth));
  if (f.optMonthly && day >= 29 && day <= 31) {
    CurrentUserInterface().MsgBox(Translate("If a month has fewer than ") + std::to_string(day) +
                                      Translate(" days then the job will run on the last day of the month"),
                                  vbOKOnly, "");
  }
  engine_.Start(RuleFromFields(f), now());
  LockSchedulerForm();
  history_.WriteCollectionToIniFile();
  StartTimer();
}

void frmScheduler::StartTimer() {
  blnPersistRun = chkPersistRunning->isChecked();
  strTimerFile_ = sJobFile_;
  Timer1->start(1000);
}

void frmScheduler::Timer1_Timer() {
  // A run raised by this tick may still be going when the next tick comes
  // (the job yields to the event loop while it works).
  const bool running = bRaisingRun_ || host_.bJobRunning();
  const ScheduleEngine::Tick tick = engine_.OnTick(now(), running);
  const Countdown& c = tick.remaining;
  host_.DisplayTimeRemainingEvent(c.lngDays, c.lngHours, c.lngMinutes, c.lngSeconds);
  if (!tick.bRunJob) return;
  bRaisingRun_ = true;
  std::string file = strTimerFile_;
  host_.RunTheJobEvent(file);
  bRaisingRun_ = false;
  engine_.JobFinished(now());
}

bool frmScheduler::bTimerEnabled() const { return Timer1->isActive(); }

void frmScheduler::EndTimer() {
  Timer1->stop();
  if (isVisible()) cmdDone->setFocus();
  ResetSchedulerForm();
}

void frmScheduler::PauseTimer() {
  Timer1->stop();
  ResetSchedulerForm();
}

void frmScheduler::SetRuleInputsEnabled(bool enabled) {
  cmdEndTimer->setEnabled(!enabled);
  for (QWidget* w : std::initializer_list<QWidget*>{
           cmdStartTimer, txtHours, txtMinutes, txtSeconds, optDaily, optWeekly, optMonthly, cbHours, cbMinutes,
           cbAmPm, txtDayOfMonth, txtNumMonths, txtNumWeeks, txtNumDays, optNumDays, optWeekdays,
           cbScheduledJobFile, cmdSelectScheduledJobFile, picScheduledJobFile})
    w->setEnabled(enabled);
  for (QCheckBox* c : chkDays) c->setEnabled(enabled);
}

void frmScheduler::ResetSchedulerForm() { SetRuleInputsEnabled(true); }

void frmScheduler::LockSchedulerForm() { SetRuleInputsEnabled(false); }

void frmScheduler::ShowSchedulerError(int code) {
  const std::string text = SchedulerErrorText(code);
  if (!text.empty()) CurrentUserInterface().MsgBox(Translate(text), vbOKOnly, "");
  if (!isVisible()) return;
  auto focus = [](QWidget* w) {
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit()) c->lineEdit()->selectAll();
  };
  switch (code) {
    case 1: focus(txtHours); break;
    case 2: focus(txtMinutes); break;
    case 3: focus(txtSeconds); break;
    case 6: case 7: case 110: case 111: focus(cbScheduledJobFile); break;
    case 112:
      cmdSelectScheduledJobFile->setFocus();
      focus(cbScheduledJobFile);
      break;
    case 108:
      if (txtNumDays->isVisible()) focus(txtNumDays);
      else txtNumDays->setText("1");
      break;
    case 109:
      if (txtNumWeeks->isVisible()) focus(txtNumWeeks);
      else txtNumWeeks->setText("1");
      break;
    case 114: focus(txtDayOfMonth); break;
    case 115: focus(txtNumMonths); break;
    default: break;
  }
}

bool RestartPersistedSchedule(frmScheduler& frmSched, bool bWindowShown) {
  if (!bWindowShown || bCommandLineMode || bAutomationMode || !bPersistRunningSaved()) return false;
  frmSched.cmdStartTimer_Click();
  return frmSched.bTimerEnabled();
}

}  // namespace tessa
