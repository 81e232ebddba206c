// The main form (frmMain): the tab strip with the to-do page (the item editor
// panel above the to-do grid) and the log page, the job's commands as actions
// for the frame's menus and toolbar, the form's settings, and the window's
// side of the engine's form (MainFormView, JobView, ItemEditorFields).
#pragma once

#include <QHash>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>

#include "engine/item_editor_fields.h"
#include "engine/job_view.h"
#include "engine/main_form.h"
#include "mainwindow/command_state.h"
#include "mainwindow/main_form_settings.h"
#include "mainwindow/qt/main_form_histories.h"

class QAction;
class QMainWindow;
class QMenu;
class QStackedWidget;
class QTabBar;
class QTableView;
class QToolBar;

namespace tessa {

class GridTableModel;
class ItemEditorBinding;
class SchedulerWindow;

class MainFormWidget : public QWidget, public MainFormView, public JobView, public ItemEditorFields {
  Q_OBJECT
 public:
  // frame is the window that shows the form's menus, toolbar and status bar.
  MainFormWidget(MainForm& frm, QMainWindow& frame);
  ~MainFormWidget() override;

  // Form_Load: combo lists, grids, settings, scheduler, translation. bWindow
  // is false for a hidden command-line or automation form.
  void Load(bool bWindow);
  // Form_Unload: offers to save a changed job, then saves the settings;
  // false (nothing saved) when the user wanted the job saved and it was not.
  bool Unload();
  // Arms a schedule that was left running, once the window is shown.
  void StartPersistedSchedule();

  MainForm& Form() { return frm_; }
  MainFormSettings& Settings() { return settings_; }
  QMainWindow& Frame() { return frame_; }
  QAction* Action(const QString& name) const { return actions_.value(name); }
  QTableView* ToDoView() const { return fgToDo_; }
  QTableView* LogView() const { return fgLog_; }
  QTabBar* Tabs() const { return ts_; }
  SchedulerWindow* Scheduler() const { return frmSched_.get(); }
  MainFormHistories& Histories() { return histories_; }
  // Replace the editor panel's behaviour and the scheduler window that Load
  // attached (AttachItemEditor, CreateSchedulerWindow).
  void SetItemEditorBinding(std::unique_ptr<ItemEditorBinding> editor);
  void SetSchedulerWindow(std::unique_ptr<SchedulerWindow> scheduler);
  // The end-of-job notifier's timer (Timer1) and one tick of it.
  QTimer& Timer1() { return timer1_; }
  void Timer1Tick();

  // Selects tab (1 to-do list, 2 log) as a click would.
  void SelectTab(int tab);
  // The advanced options of the editor (cmdPDFtoRTFAdvancedOptions_Click).
  void cmdPDFtoRTFAdvancedOptions_Click();
  // Sets the panel to a task's action and special process or input, as the
  // file manager's options start needs it.
  void ShowActionInPanel(bool bSpecial, int lSpecialProcess, const std::string& sOriginalFile);

  // MainFormView
  void UpdateMenuToolbar() override;
  void UpdateMRUs() override;
  bool bSchedularEnabled() override;
  bool IsVisible() override;
  void SetEndOfJobNotifier(bool on) override;
  ItemEditorFields* EditorFields() override;
  bool ShowTypeMismatchDialog(TypeMismatchNotice& notice) override;

  // JobView
  bool CollectConversionItemFromGUI(clsConversionOptions& co) override;
  bool ConversionJobUpdate() override;
  void EnterToDoCell() override;
  std::string PickJobFile(bool bSave, const std::string& title, const std::string& initial) override;
  void SetFormCaption(const std::string& caption) override;
  void SetFrameCaption(const std::string& caption) override;
  void AddOpenedJobFile(const std::string& path) override;
  void FocusToDoGrid() override;
  void SelectToDoTab() override;
  bool IsToolbarButtonEnabled(const std::string& key, bool engineDefault) override;
  void StopScheduler() override;

  // ItemEditorFields
  std::string InputText() const override;
  void SetInputText(const std::string& text) override;
  std::string OutputText() const override;
  void SetOutputText(const std::string& text) override;
  bool InputVisible() const override;
  bool OutputVisible() const override;
  void FocusInput() override;
  void FocusOutput() override;

 signals:
  // The user asked to close the program (Exit).
  void exitRequested();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  void BuildCommands();
  void ConnectCommands();
  void FillCombos();
  void ApplySettingsToControls(bool bWindow);
  void CollectSettingsFromControls();
  void SizeFlexibleColumns();
  void SyncCurrentRows();
  void OnToDoRowClicked(int modelRow);
  void OnTabChanged(int index);
  void MoveRow(int which);
  void ShowSchedulerDialog();
  void mnuLanguage_Click();
  // Refills the File menu's recent job files; opens entry index of them.
  void FillRecentJobsMenu();
  void mnuMRU_Click(int index);
  QAction* NewAction(const QString& name, const QString& text, const QString& icon = {});

  MainForm& frm_;
  QMainWindow& frame_;
  MainFormSettings settings_;
  CommandState state_;
  QHash<QString, QAction*> actions_;
  QTabBar* ts_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QTableView* fgToDo_ = nullptr;
  QTableView* fgLog_ = nullptr;
  GridTableModel* toDoModel_ = nullptr;
  GridTableModel* logModel_ = nullptr;
  QMenu* popup_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QAction* mruEnd_ = nullptr;  // the recent job files go before it
  MainFormHistories histories_;
  std::unique_ptr<ItemEditorBinding> editor_;
  std::unique_ptr<SchedulerWindow> frmSched_;
  QTimer timer1_;
  int notifierTicks_ = 0;
  int toDoSubscription_ = 0;
  int logSubscription_ = 0;
  bool syncPending_ = false;
  bool syncingSelection_ = false;
  int refusedRow_ = 0;  // the row a click could not enter, until the view shows the current one again
  bool loaded_ = false;
  bool bWindow_ = false;
};

}  // namespace tessa
