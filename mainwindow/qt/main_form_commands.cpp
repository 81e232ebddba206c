// The main form's commands: one action per command shared by menus, toolbar
// and pop-up menu, what each does, and the one procedure that decides which
// of them are offered (UpdateMenuToolbar).
#include "mainwindow/qt/main_form_widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <map>

#include "common/file_helpers.h"
#include "common/help_launcher.h"
#include "common/qt/mru_fillers.h"
#include "common/settings_file.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/job/todo_grid.h"
#include "mainwindow/qt/about_dialog.h"
#include "mainwindow/qt/general_options_dialog.h"
#include "mainwindow/qt/item_editor_binding.h"
#include "mainwindow/qt/scheduler_window.h"
#include "mainwindow/qt/status_panels.h"
#include "platform/shell_open.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

// Theme icons of the toolbar, with the style's pictures where the desktop
// has none.
QIcon ThemeIcon(const QString& name) {
  static const std::map<QString, QStyle::StandardPixmap> fallback = {
      {"document-new", QStyle::SP_FileIcon},
      {"document-open", QStyle::SP_DialogOpenButton},
      {"list-add", QStyle::SP_FileDialogNewFolder},
      {"list-remove", QStyle::SP_TrashIcon},
      {"view-refresh", QStyle::SP_BrowserReload},
      {"media-skip-backward", QStyle::SP_MediaSkipBackward},
      {"media-playback-start", QStyle::SP_MediaPlay},
      {"media-playback-pause", QStyle::SP_MediaPause},
      {"document-save", QStyle::SP_DialogSaveButton},
      {"go-up", QStyle::SP_ArrowUp},
      {"go-down", QStyle::SP_ArrowDown},
      {"go-top", QStyle::SP_ArrowUp},
      {"go-bottom", QStyle::SP_ArrowDown},
      {"help-contents", QStyle::SP_DialogHelpButton},
      {"application-exit", QStyle::SP_DialogCloseButton},
  };
  const auto it = fallback.find(name);
  const QIcon style = it == fallback.end() ? QIcon() : QApplication::style()->standardIcon(it->second);
  return QIcon::fromTheme(name, style);
}

}  // namespace

QAction* MainFormWidget::NewAction(const QString& name, const QString& text, const QString& icon) {
  auto* a = new QAction(text, this);
  a->setObjectName(name);
  if (!icon.isEmpty()) a->setIcon(ThemeIcon(icon));
  actions_.insert(name, a);
  return a;
}

void MainFormWidget::BuildCommands() {
  // Toolbar buttons (their keys) and the Open button's drop-down.
  NewAction("keyNew", "New", "document-new")->setToolTip("Create a new conversion job");
  NewAction("keyOpen", "Open", "document-open")->setToolTip("Open Conversion Job..");
  NewAction("keyAdd", "&Add", "list-add")->setToolTip("Add a conversion Task");
  NewAction("keyRemove", "&Delete", "list-remove")->setToolTip("Remove currently selected conversion Task (Del)");
  NewAction("keyUpdate", "&Update", "view-refresh")->setToolTip("Update currently selected conversion task");
  NewAction("keyRewind", "Rewind", "media-skip-backward")->setToolTip("Rewind to the first conversion task");
  NewAction("keyConvert", "Convert", "media-playback-start")->setToolTip("Begin Conversion (F5)");
  NewAction("keyPause", "&Pause", "media-playback-pause")->setToolTip("Pause conversion process");
  NewAction("KeySave", "Save Conversion Job", "document-save");
  NewAction("KeySaveAs", "Save Conversion Job As..");
  NewAction("KeyOpen", "Open Conversion Job..", "document-open");
  NewAction("KeySaveLogAsConversionJob", "Save &Log as a Conversion Job");
  Action("keyConvert")->setShortcut(QKeySequence(Qt::Key_F5));
  Action("keyConvert")->setShortcutContext(Qt::WindowShortcut);

  // Menu items.
  NewAction("mnuNewConversionJob", "&New Conversion Job", "document-new");
  NewAction("mnuOpenConversionJob", "&Open Conversion Job", "document-open");
  NewAction("mnuSaveConversionJob", "Save Conversion Job", "document-save");
  NewAction("mnuSaveConversionJobAs", "Save Conversion Job &As..");
  NewAction("mnuSaveLogAsConversionJob", "Save &Log as a Conversion Job");
  NewAction("mnuLanguage", "Lan&guage");
  NewAction("mnuOptions", "Options");
  NewAction("mnuExit", "E&xit", "application-exit");
  NewAction("mnuAddConversionJob", "&Add Conversion Job", "list-add");
  NewAction("mnuRemoveConversionJob", "&Delete Conversion Job", "list-remove");
  NewAction("mnuUpdateConversionJob", "&Update Conversion Job", "view-refresh");
  NewAction("mnuMoveUp", "Move Up (Ctrl+U)", "go-up");
  NewAction("mnuMoveDown", "Move Down (Ctrl+D)", "go-down");
  NewAction("mnuMoveFirst", "Move to First", "go-top");
  NewAction("mnuMoveLast", "Move To Last", "go-bottom");
  NewAction("mnuBeginConversionJob", "&Begin Conversion Job", "media-playback-start");
  NewAction("mnuPause", "&Pause Conversion Job", "media-playback-pause");
  NewAction("mnuRewindConversionJob", "&Rewind Conversion Job", "media-skip-backward");
  NewAction("mnuScheduleConversionJob", "&Schedule a Conversion Job");
  NewAction("mnuConversionOptions", "Conversion &Options");
  NewAction("mnuLaunchHelpFile", "&Help File", "help-contents");
  NewAction("cmdHelpCommandLine", "Using the &Command Line");
  NewAction("mnuAbout", "&About");
  NewAction("mnuHelpOnLine", "Web Help (most up to date)");
  NewAction("mnuHelpProductHomePage", "Product Home &Page");
  NewAction("mnuHelpProductUpdates", "Product &Updates");
  NewAction("mnuBrindlecoveHomePage", "&Brindlecove Home Page");
  NewAction("mnuAdditionalImageConversionTools", "Additional Conversion Tools");
  NewAction("mnuPopupMoveUp", "Move Up (Ctrl+U)", "go-up");
  NewAction("mnuPopupMoveFirst", "Move to First", "go-top");
  NewAction("mnuPopupMoveDown", "Move Down (Ctrl+D)", "go-down");
  NewAction("mnuPopupMoveLast", "Move To Last", "go-bottom");
  NewAction("mnuPopupDelete", "&Delete", "list-remove");

  // Menus of the frame.
  QMenuBar* bar = frame_.menuBar();
  auto menu = [&](QWidget* parent, const QString& name, const QString& title) {
    auto* m = new QMenu(title, parent);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    actions_.insert(name, m->menuAction());
    return m;
  };
  QMenu* file = menu(bar, "mnuFile", "&File");
  for (const char* name : {"mnuNewConversionJob", "mnuOpenConversionJob", "mnuSaveConversionJob",
                           "mnuSaveConversionJobAs", "mnuSaveLogAsConversionJob"})
    file->addAction(Action(name));
  file->addSeparator();
  file->addAction(Action("mnuLanguage"));
  file->addAction(Action("mnuOptions"));
  file->addSeparator();
  mruEnd_ = file->addSeparator();
  mruEnd_->setObjectName("mnuMRUEnd");
  file->addAction(Action("mnuExit"));
  fileMenu_ = file;

  QMenu* conversion = menu(bar, "mnuConversion", "C&onversion");
  for (const char* name : {"mnuAddConversionJob", "mnuRemoveConversionJob", "mnuUpdateConversionJob"})
    conversion->addAction(Action(name));
  QMenu* move = menu(conversion, "mnuMoveConversionTask", "&Move Conversion Task");
  for (const char* name : {"mnuMoveUp", "mnuMoveFirst", "mnuMoveDown", "mnuMoveLast"}) move->addAction(Action(name));
  conversion->addMenu(move);
  conversion->addSeparator();
  for (const char* name : {"mnuBeginConversionJob", "mnuPause", "mnuRewindConversionJob"})
    conversion->addAction(Action(name));
  conversion->addSeparator();
  conversion->addAction(Action("mnuScheduleConversionJob"));
  conversion->addAction(Action("mnuConversionOptions"));

  QMenu* help = menu(bar, "mnuHelp", "&Help");
  for (const char* name : {"mnuLaunchHelpFile", "cmdHelpCommandLine", "mnuAbout"}) help->addAction(Action(name));
  help->addSeparator();
  for (const char* name : {"mnuHelpOnLine", "mnuHelpProductHomePage", "mnuHelpProductUpdates",
                           "mnuBrindlecoveHomePage", "mnuAdditionalImageConversionTools"})
    help->addAction(Action(name));
  bar->addMenu(file);
  bar->addMenu(conversion);
  bar->addMenu(help);

  popup_ = menu(this, "mnuPopup", "Popup");
  for (const char* name : {"mnuPopupMoveUp", "mnuPopupMoveFirst", "mnuPopupMoveDown", "mnuPopupMoveLast"})
    popup_->addAction(Action(name));
  popup_->addSeparator();
  popup_->addAction(Action("mnuPopupDelete"));

  // The toolbar.
  auto* tb = new QToolBar("Toolbar", &frame_);
  tb->setObjectName("tbMain");
  tb->setMovable(false);
  tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  tb->setIconSize(QSize(24, 24));
  auto* openMenu = new QMenu(tb);
  openMenu->setObjectName("keyOpenMenu");
  for (const char* name : {"KeySave", "KeySaveAs", "KeyOpen", "KeySaveLogAsConversionJob"})
    openMenu->addAction(Action(name));
  Action("keyOpen")->setMenu(openMenu);
  tb->addAction(Action("keyNew"));
  tb->addAction(Action("keyOpen"));
  if (auto* button = qobject_cast<QToolButton*>(tb->widgetForAction(Action("keyOpen"))))
    button->setPopupMode(QToolButton::MenuButtonPopup);
  tb->addSeparator();
  for (const char* name : {"keyAdd", "keyRemove", "keyUpdate"}) tb->addAction(Action(name));
  tb->addSeparator();
  for (const char* name : {"keyRewind", "keyConvert", "keyPause"}) tb->addAction(Action(name));
  frame_.addToolBar(Qt::TopToolBarArea, tb);

  // Tab switching by keyboard reaches the form even from inside a grid.
  auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
  next->setContext(Qt::WindowShortcut);
  connect(next, &QShortcut::activated, this, [this] { SelectTab(ts_->currentIndex() + 1 >= ts_->count() ? 1 : ts_->currentIndex() + 2); });
  auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
  previous->setContext(Qt::WindowShortcut);
  connect(previous, &QShortcut::activated, this, [this] { SelectTab(ts_->currentIndex() == 0 ? ts_->count() : ts_->currentIndex()); });
  // Row moves by keyboard in the to-do grid (Ctrl alone).
  auto* up = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_U), fgToDo_);
  up->setContext(Qt::WidgetShortcut);
  connect(up, &QShortcut::activated, this, [this] { MoveRow(0); });
  auto* down = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), fgToDo_);
  down->setContext(Qt::WidgetShortcut);
  connect(down, &QShortcut::activated, this, [this] { MoveRow(1); });
}

void MainFormWidget::ConnectCommands() {
  auto on = [this](const char* name, auto fn) { connect(Action(name), &QAction::triggered, this, fn); };
  MainForm& f = frm_;
  on("keyNew", [&f] { f.ConversionJobNew(); });
  on("keyOpen", [&f] { f.ConversionJobOpen(""); });
  on("keyAdd", [&f] { f.AddFileToConvertGUI(); });
  on("keyRemove", [&f] { f.RemoveActionItem(); });
  on("keyUpdate", [this] { ConversionJobUpdate(); });
  on("keyConvert", [&f] { f.ConversionJobBegin(); });
  on("keyPause", [&f] { f.ConversionJobPause(); });
  on("keyRewind", [&f] { f.ConversionJobRewind(); });
  on("KeySave", [&f] { f.ConversionJobSave(); });
  on("KeySaveAs", [&f] { f.ConversionJobSaveAs(); });
  on("KeyOpen", [&f] { f.ConversionJobOpen(""); });
  on("KeySaveLogAsConversionJob", [&f] { f.SaveLogAsConversionJob(); });

  on("mnuNewConversionJob", [&f] { f.ConversionJobNew(); });
  on("mnuOpenConversionJob", [&f] { f.ConversionJobOpen(""); });
  on("mnuSaveConversionJob", [&f] { f.ConversionJobSave(); });
  on("mnuSaveConversionJobAs", [&f] { f.ConversionJobSaveAs(); });
  on("mnuSaveLogAsConversionJob", [&f] { f.SaveLogAsConversionJob(); });
  on("mnuLanguage", [this] { mnuLanguage_Click(); });
  on("mnuOptions", [this] { ShowGeneralOptions(this, frm_); });
  on("mnuExit", [this] { emit exitRequested(); });
  on("mnuAddConversionJob", [&f] { f.cmdAdd_Click(); });
  on("mnuRemoveConversionJob", [&f] { f.cmdRemove_Click(); });
  on("mnuUpdateConversionJob", [this] { ConversionJobUpdate(); });
  on("mnuMoveUp", [this] { MoveRow(0); });
  on("mnuMoveDown", [this] { MoveRow(1); });
  on("mnuMoveFirst", [this] { MoveRow(2); });
  on("mnuMoveLast", [this] { MoveRow(3); });
  on("mnuPopupMoveUp", [this] { MoveRow(0); });
  on("mnuPopupMoveDown", [this] { MoveRow(1); });
  on("mnuPopupMoveFirst", [this] { MoveRow(2); });
  on("mnuPopupMoveLast", [this] { MoveRow(3); });
  on("mnuPopupDelete", [&f] { f.cmdRemove_Click(); });
  on("mnuBeginConversionJob", [&f] { f.ConversionJobBegin(); });
  on("mnuPause", [&f] { f.ConversionJobPause(); });
  on("mnuRewindConversionJob", [&f] { f.ConversionJobRewind(); });
  on("mnuScheduleConversionJob", [this] { ShowSchedulerDialog(); });
  on("mnuLaunchHelpFile", [] { ShowHelpTopic(kHelpStartTopic); });
  on("cmdHelpCommandLine", [] { ShowHelpTopic(kHelpCommandLine, HelpAddress("CommandLine")); });
  on("mnuAbout", [this] { ShowAbout(this); });
  on("mnuHelpOnLine", [] { ShellOpen(HelpAddress("DocHome")); });
  on("mnuHelpProductHomePage", [] { ShellOpen(HelpAddress("ProductHome")); });
  on("mnuHelpProductUpdates", [] { ShellOpen(HelpAddress("ProductUpdates")); });
  on("mnuBrindlecoveHomePage", [] { ShellOpen(HelpAddress("MakerHome")); });
  on("mnuAdditionalImageConversionTools", [] { ShellOpen(HelpAddress("ConversionTools")); });

  // The panel's buttons run their menu item.
  auto button = [this](const char* name, const char* item) {
    if (auto* b = findChild<QAbstractButton*>(name))
      connect(b, &QAbstractButton::clicked, Action(item), &QAction::trigger);
  };
  button("cmdAdd", "mnuAddConversionJob");
  button("cmdRemove", "mnuRemoveConversionJob");
  button("cmdUpdate", "mnuUpdateConversionJob");
  button("cmdPause", "mnuPause");
  connect(&timer1_, &QTimer::timeout, this, &MainFormWidget::Timer1Tick);
}

void MainFormWidget::MoveRow(int which) {
  // The running loop marks tasks by row: a row moved under it would carry
  // the wrong task's mark, so rows stay put while a run or schedule is on.
  if (frm_.bRunning || frm_.bInRunLoop() || bSchedularEnabled() || !editor_) return;
  FlexGrid& g = frm_.fgToDo;
  int target = 0;
  switch (which) {
    case 0: target = g.RowSel() - 1; break;
    case 1: target = g.RowSel() + 1; break;
    case 2: target = 1; break;
    default: target = g.Rows() - 2; break;
  }
  GridUpdateByCode guard(frm_.bGridUpdateByCode);
  editor_->MoveToDoRow(target);
}

void MainFormWidget::ShowSchedulerDialog() {
  if (!frmSched_) return;
  frmSched_->SetUpScheduler(sIniFile);
  frmSched_->ShowModal();
  UpdateMenuToolbar();
  if (!bSchedularEnabled()) SetFrameCaption("'Tessalumen'");
}

void MainFormWidget::mnuLanguage_Click() {
  // The choice is stored and takes effect on the next start, as the notice says.
  bool bShowRestartNotice = true;
  SelectLanguage(bShowRestartNotice);
}

void MainFormWidget::FillRecentJobsMenu() {
  FillMenuFromMRU(fileMenu_, mruEnd_, histories_.mruFileOpen, frm_.bGridUpdateByCode,
                  [this](int index) { mnuMRU_Click(index); });
}

void MainFormWidget::mnuMRU_Click(int index) {
  const std::string file = histories_.JobFileAt(index);
  if (file.empty()) return;
  if (bFileExists(TypedPath(file))) {
    frm_.ConversionJobOpen(file);
  } else {
    CurrentUserInterface().MsgBox(file + " " + Translate("does not exist."), vbOKOnly, "");
  }
}

void MainFormWidget::Timer1Tick() {
  StatusPanels* panels = StatusPanels::Of(frame_);
  if (frame_.isMinimized()) {
    QApplication::alert(&frame_);
  } else if (panels) {
    panels->SetNotifierPicture(notifierTicks_ % 2 == 1);
  }
  ++notifierTicks_;
  if (notifierTicks_ > 3) {
    notifierTicks_ = 0;
    if (panels) panels->SetNotifierPicture(true);
    timer1_.stop();
  }
}

void MainFormWidget::SetEndOfJobNotifier(bool on) {
  if (on) {
    timer1_.start(1000);
  } else {
    timer1_.stop();
  }
}

void MainFormWidget::UpdateMenuToolbar() {
  const FlexGrid& g = frm_.fgToDo;
  CommandStateInputs in;
  in.bScheduleArmed = bSchedularEnabled();
  in.bRunning = frm_.bRunning;
  in.bGridUpdateByCode = frm_.bGridUpdateByCode;
  in.bCurrentActionItemDirty = frm_.bCurrentActionItemDirty;
  in.lResumeFileIndex = frm_.resumePoints.Empty() ? 0 : 1;
  in.rows = g.Rows();
  in.row = g.Row();
  in.currentNumberCell = g.TextMatrix(g.Row(), kColNumber);
  in.firstPassCell = g.TextMatrix(1, kColPass);
  in.logRows = frm_.fgLog.Rows();
  in.tab = ts_ ? ts_->currentIndex() + 1 : 1;
  DecideCommandState(in, state_);
  for (const auto& [name, enabled] : state_.enabled) {
    if (QAction* a = Action(QString::fromStdString(name))) {
      a->setEnabled(enabled);
    } else if (auto* b = findChild<QAbstractButton*>(QString::fromStdString(name))) {
      b->setEnabled(enabled);
    }
  }
  for (const auto& [name, shown] : state_.visible)
    if (QAction* a = Action(QString::fromStdString(name))) a->setVisible(shown);
}

bool MainFormWidget::IsToolbarButtonEnabled(const std::string& key, bool engineDefault) {
  const auto it = state_.enabled.find(key);
  return it == state_.enabled.end() ? engineDefault : it->second;
}

bool MainFormWidget::bSchedularEnabled() { return frmSched_ && frmSched_->TimerEnabled(); }

void MainFormWidget::StopScheduler() {
  if (frmSched_) frmSched_->StopAndReset();
}

}  // namespace tessa
