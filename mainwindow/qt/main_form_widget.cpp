// The main form: its layout, loading and unloading, its settings, the grids
// shown through their models, and the window's answers to the engine.
#include "mainwindow/qt/main_form_widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include "common/file_helpers.h"
#include "common/program_modes.h"
#include "common/qt/pickers.h"
#include "common/qt/translate_form.h"
#include "common/settings_file.h"
#include "common/translator.h"
#include "engine/job/todo_grid.h"
#include "mainwindow/frame_settings.h"
#include "engine/editor/panel_combos.h"
#include "mainwindow/qt/advanced_options_dialog.h"
#include "mainwindow/qt/dialog_launchers.h"
#include "mainwindow/qt/grid_table_model.h"
#include "mainwindow/qt/item_editor_binding.h"
#include "mainwindow/qt/item_editor_panel_widgets.h"
#include "mainwindow/qt/main_frame.h"
#include "mainwindow/qt/scheduler_window.h"
#include "mainwindow/qt/type_mismatch_dialog.h"

namespace tessa {

namespace {

// Twips of the stored widths and of the layout's offsets.
int Pixels(int twips) { return twips / kTwipsPerPixel; }
int Twips(int pixels) { return pixels * kTwipsPerPixel; }

QTableView* NewGrid(const char* name, GridTableModel* model) {
  auto* view = new QTableView;
  view->setObjectName(name);
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setWordWrap(false);
  view->setAlternatingRowColors(true);
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view->verticalHeader()->hide();
  // Every row has one height: no row is measured, so long jobs show at once.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setStretchLastSection(false);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view->horizontalHeader()->setMinimumSectionSize(0);
  return view;
}

void Fill(QComboBox* cb, const std::vector<ListRow>& rows, bool& loadingFlag) {
  if (!cb) return;
  GridUpdateByCode guard(loadingFlag);
  cb->clear();
  for (const ListRow& r : rows) cb->addItem(QString::fromStdString(r.text), r.itemData);
  cb->setCurrentIndex(0);
}

// A stored list index outside its list keeps the default.
void Restore(QComboBox* cb, int index, int def) {
  if (!cb) return;
  cb->setCurrentIndex(index >= 0 && index < cb->count() ? index : def);
}

}  // namespace

MainFormWidget::MainFormWidget(MainForm& frm, QMainWindow& frame) : QWidget(&frame), frm_(frm), frame_(frame) {
  setObjectName("frmMain");
  setWindowTitle("*");
  timer1_.setObjectName("Timer1");
  timer1_.setInterval(1000);
  toDoModel_ = new GridTableModel(frm_.fgToDo, kColPass, this);
  logModel_ = new GridTableModel(frm_.fgLog, kColPass, this);
  BuildLayout();
  BuildCommands();
  ConnectCommands();
  frm_.SetView(this);
  frm_.SetJobView(this);
  // The current rows follow the grids; many moves in a row show once.
  auto follow = [this](const GridChange& c) {
    if (c.kind != GridChange::CurrentChanged && c.kind != GridChange::Reset && c.kind != GridChange::RowsInserted)
      return;
    if (syncPending_) return;
    syncPending_ = true;
    QMetaObject::invokeMethod(this, [this] { SyncCurrentRows(); }, Qt::QueuedConnection);
  };
  toDoSubscription_ = frm_.fgToDo.Subscribe(follow);
  logSubscription_ = frm_.fgLog.Subscribe(follow);
}

MainFormWidget::~MainFormWidget() {
  editor_.reset();  // it refers to the form's widgets
  frm_.fgToDo.Unsubscribe(toDoSubscription_);
  frm_.fgLog.Unsubscribe(logSubscription_);
  // A newer window on the same form keeps its place.
  if (&frm_.View() == static_cast<MainFormView*>(this)) frm_.SetView(nullptr);
  if (&frm_.Job() == static_cast<JobView*>(this)) frm_.SetJobView(nullptr);
}

void MainFormWidget::BuildLayout() {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 0);
  column->setSpacing(0);
  ts_ = new QTabBar;
  ts_->setObjectName("ts");
  ts_->setExpanding(false);
  ts_->setDrawBase(true);
  ts_->addTab(style()->standardIcon(QStyle::SP_FileDialogListView), "Select Files/Folders");
  ts_->addTab(style()->standardIcon(QStyle::SP_FileDialogInfoView), "Log");
  column->addWidget(ts_);

  pages_ = new QStackedWidget;
  pages_->setObjectName("frameCF");
  auto* page0 = new QWidget;
  page0->setObjectName("frameCF_0");
  auto* todoColumn = new QVBoxLayout(page0);
  todoColumn->setContentsMargins(0, 4, 0, 0);
  todoColumn->setSpacing(4);
  todoColumn->addWidget(BuildItemEditorPanel(page0));
  auto* frameToDo = new QWidget;
  frameToDo->setObjectName("frameToDo");
  auto* todoBox = new QVBoxLayout(frameToDo);
  todoBox->setContentsMargins(0, 0, 0, 0);
  fgToDo_ = NewGrid("fgToDo", toDoModel_);
  fgToDo_->setContextMenuPolicy(Qt::CustomContextMenu);
  todoBox->addWidget(fgToDo_);
  todoColumn->addWidget(frameToDo, 1);
  pages_->addWidget(page0);

  auto* page1 = new QWidget;
  page1->setObjectName("frameCF_1");
  auto* logColumn = new QVBoxLayout(page1);
  logColumn->setContentsMargins(0, 4, 0, 0);
  fgLog_ = NewGrid("fgLog", logModel_);
  logColumn->addWidget(fgLog_);
  fgToDo_->viewport()->installEventFilter(this);
  fgLog_->viewport()->installEventFilter(this);
  pages_->addWidget(page1);
  column->addWidget(pages_, 1);

  connect(ts_, &QTabBar::currentChanged, this, &MainFormWidget::OnTabChanged);
  connect(fgToDo_, &QTableView::clicked, this, [this](const QModelIndex& i) { OnToDoRowClicked(i.row()); });
  connect(fgToDo_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& now) {
            if (now.isValid() && now.row() + 1 != frm_.fgToDo.Row()) OnToDoRowClicked(now.row());
          });
  connect(fgToDo_, &QTableView::customContextMenuRequested, this, [this](const QPoint& at) {
    const QModelIndex i = fgToDo_->indexAt(at);
    if (i.isValid()) OnToDoRowClicked(i.row());
    popup_->popup(fgToDo_->viewport()->mapToGlobal(at));
  });
  connect(fgToDo_, &QTableView::doubleClicked, this, [this] { cmdPDFtoRTFAdvancedOptions_Click(); });
}

void MainFormWidget::FillCombos() {
  bool& flag = frm_.bGridUpdateByCode;
  Fill(findChild<QComboBox*>("cbFileTypeOriginal"), InputTypeListRows(), flag);
  Fill(findChild<QComboBox*>("cbFileTypeTarget"), OutputTypeListRows(), flag);
  Fill(findChild<QComboBox*>("cbSpecialProcesses"), SpecialProcessListRows(), flag);
  Fill(findChild<QComboBox*>("cbCommandLineWindowState"), WindowStateListRows(), flag);
  Fill(findChild<QComboBox*>("cbCommandLineThreadPriority"), ThreadPriorityListRows(), flag);
}

void MainFormWidget::Load(bool bWindow) {
  bWindow_ = bWindow;
  FillCombos();
  // A job that start-up opened (open without running) stays.
  const bool bJobKept = !(frm_.sCurrentJobFile.empty() || frm_.sCurrentJobFile == "*" || frm_.fgToDo.Rows() < 2);
  if (!bJobKept) {
    frm_.sCurrentJobFile = "*";
    frm_.InitToDoGrid(frm_.fgToDo);
    frm_.InitLogGrid(frm_.fgLog);
  }
  ReadMainFormSettings(frm_, settings_, bWindow);
  histories_.Setup(bWindow, *this, frm_.bGridUpdateByCode);
  // Opened before there was a window to list it: it is a recent job too.
  if (bJobKept && bWindow) histories_.AddJobFile(frm_.sCurrentJobFile);
  ApplySettingsToControls(bWindow);
  // The panel's behaviour takes the widgets as the settings left them.
  editor_ = AttachItemEditor(*this);
  frm_.SelectGridRow(frm_.fgToDo);
  frm_.lResumeFileIndex = 0;
  frm_.resumePoints.Clear();
  frm_.bRunning = frm_.bCurrentActionItemDirty = frm_.bAskToSaveZolFileBeforeExit = false;
  // The editor shows the kept job's highlighted task.
  if (bJobKept) EnterToDoCell();
  SyncCurrentRows();
  frmSched_ = CreateSchedulerWindow(*this);
  if (frmSched_) frmSched_->SetUpScheduler(sIniFile);
  TranslateForm(this);
  FillRecentJobsMenu();
  loaded_ = true;
  UpdateMenuToolbar();
}

void MainFormWidget::SetItemEditorBinding(std::unique_ptr<ItemEditorBinding> editor) { editor_ = std::move(editor); }

void MainFormWidget::SetSchedulerWindow(std::unique_ptr<SchedulerWindow> scheduler) {
  frmSched_ = std::move(scheduler);
  if (frmSched_) frmSched_->SetUpScheduler(sIniFile);
  UpdateMenuToolbar();
}

void MainFormWidget::StartPersistedSchedule() {
  // A schedule left running is armed again only for a shown window: a
  // command-line or automation start must never run a scheduled job.
  if (!settings_.bSchedulePersisted || !frmSched_ || bCommandLineMode || bAutomationMode || !frame_.isVisible())
    return;
  frmSched_->SetUpScheduler(sIniFile);
  frmSched_->StartTimer();
  UpdateMenuToolbar();
}

void MainFormWidget::ApplySettingsToControls(bool bWindow) {
  const MainFormSettings d;
  if (bWindow) {
    QHeaderView* log = fgLog_->horizontalHeader();
    QHeaderView* todo = fgToDo_->horizontalHeader();
    for (int c = 0; c < kLogCols; ++c) fgLog_->setColumnHidden(c, true);
    for (int c = 0; c < kToDoCols; ++c) fgToDo_->setColumnHidden(c, true);
    auto show = [](QTableView* v, QHeaderView* h, int col, int twips) {
      v->setColumnHidden(col, twips <= 0);
      if (twips > 0) h->resizeSection(col, Pixels(twips));
    };
    for (size_t i = 0; i < kLogWidthColumns.size(); ++i) show(fgLog_, log, kLogWidthColumns[i], settings_.logWidths[i]);
    for (size_t i = 0; i < kToDoWidthColumns.size(); ++i)
      show(fgToDo_, todo, kToDoWidthColumns[i], settings_.toDoWidths[i]);
    for (int col : {kColInput, kColOutput}) fgToDo_->setColumnHidden(col, false);
    fgLog_->setColumnHidden(kColStatus, false);
  }
  {
    GridUpdateByCode guard(frm_.bGridUpdateByCode);
    Restore(findChild<QComboBox*>("cbSpecialProcesses"), settings_.cbSpecialProcessesIndex, d.cbSpecialProcessesIndex);
  }
  Restore(findChild<QComboBox*>("cbCommandLineWindowState"), settings_.cbCommandLineWindowStateIndex,
          d.cbCommandLineWindowStateIndex);
  Restore(findChild<QComboBox*>("cbCommandLineThreadPriority"), settings_.cbCommandLineThreadPriorityIndex,
          d.cbCommandLineThreadPriorityIndex);
  if (auto* wait = findChild<QLineEdit*>("txtCommandLineWaitTimeInSeconds"))
    wait->setText(QString::fromStdString(settings_.txtCommandLineWaitTimeInSeconds));
  {
    GridUpdateByCode guard(frm_.bGridUpdateByCode);
    const bool special = frm_.sActionToDo.find('S') != std::string::npos &&
                         frm_.sActionToDo.find('C') == std::string::npos;
    if (auto* rb = findChild<QRadioButton*>(special ? "rbActionToDo_1" : "rbActionToDo_0")) rb->setChecked(true);
    if (auto* frame = findChild<QWidget*>("frameSpecializedAction")) {
      frame->setVisible(special);
      if (special) frame->raise();
    }
    if (editor_) editor_->RefreshConvertOptionsGUI();
  }
  Restore(findChild<QComboBox*>("cbFileTypeTarget"), settings_.cbFileTypeTargetIndex, d.cbFileTypeTargetIndex);
  GridUpdateByCode guard(frm_.bGridUpdateByCode);
  Restore(findChild<QComboBox*>("cbFileTypeOriginal"), settings_.cbFileTypeOriginalIndex, d.cbFileTypeOriginalIndex);
  if (auto* sub = findChild<QCheckBox*>("cbDoSubfolders")) sub->setChecked(settings_.cbDoSubfolders != 0);
}

void MainFormWidget::CollectSettingsFromControls() {
  if (bWindow_) {
    auto width = [](QTableView* v, int col) {
      return v->isColumnHidden(col) ? 0 : Twips(v->horizontalHeader()->sectionSize(col));
    };
    for (size_t i = 0; i < kLogWidthColumns.size(); ++i) settings_.logWidths[i] = width(fgLog_, kLogWidthColumns[i]);
    for (size_t i = 0; i < kToDoWidthColumns.size(); ++i)
      settings_.toDoWidths[i] = width(fgToDo_, kToDoWidthColumns[i]);
  }
  auto index = [this](const char* name, int& into) {
    if (auto* cb = findChild<QComboBox*>(name)) into = cb->currentIndex();
  };
  index("cbFileTypeOriginal", settings_.cbFileTypeOriginalIndex);
  index("cbFileTypeTarget", settings_.cbFileTypeTargetIndex);
  index("cbSpecialProcesses", settings_.cbSpecialProcessesIndex);
  index("cbCommandLineWindowState", settings_.cbCommandLineWindowStateIndex);
  index("cbCommandLineThreadPriority", settings_.cbCommandLineThreadPriorityIndex);
  if (auto* wait = findChild<QLineEdit*>("txtCommandLineWaitTimeInSeconds"))
    settings_.txtCommandLineWaitTimeInSeconds = wait->text().toStdString();
  if (auto* sub = findChild<QCheckBox*>("cbDoSubfolders")) settings_.cbDoSubfolders = sub->isChecked() ? 1 : 0;
}

bool MainFormWidget::Unload() {
  if (!loaded_) return true;
  if (!frm_.CheckToSaveFileBeforeErasing()) return false;
  CollectSettingsFromControls();
  SaveMainFormSettings(frm_, settings_);
  histories_.WriteBack();
  return true;
}

void MainFormWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SizeFlexibleColumns();
}

bool MainFormWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && (watched == fgToDo_->viewport() || watched == fgLog_->viewport()))
    SizeFlexibleColumns();
  return QWidget::eventFilter(watched, event);
}

void MainFormWidget::SizeFlexibleColumns() {
  // The input and output columns share what the fixed columns leave; the
  // log's status column takes the rest of the log.
  auto fixed = [](QTableView* v, const auto& cols) {
    int sum = 0;
    for (int c : cols)
      if (!v->isColumnHidden(c)) sum += v->horizontalHeader()->sectionSize(c);
    return sum;
  };
  const int todoFree = fgToDo_->viewport()->width() - fixed(fgToDo_, kToDoWidthColumns);
  const int half = std::max(40, todoFree / 2 - Pixels(195));
  fgToDo_->horizontalHeader()->resizeSection(kColInput, half);
  fgToDo_->horizontalHeader()->resizeSection(kColOutput, half);
  const int logWidth = fgLog_->isVisible() ? fgLog_->viewport()->width() : fgToDo_->viewport()->width();
  const int logFree = logWidth - fixed(fgLog_, kLogWidthColumns);
  fgLog_->horizontalHeader()->resizeSection(kColStatus, std::max(60, logFree - Pixels(390)));
}

void MainFormWidget::SyncCurrentRows() {
  syncPending_ = false;
  refusedRow_ = 0;
  syncingSelection_ = true;
  auto sync = [](QTableView* view, const FlexGrid& g) {
    const int row = g.Row() - 1;
    if (row < 0 || row >= view->model()->rowCount()) return;
    const QModelIndex at = view->model()->index(row, view->currentIndex().isValid() ? view->currentIndex().column() : kColNumber);
    if (view->currentIndex().row() != row || !view->selectionModel()->isRowSelected(row, QModelIndex())) {
      view->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    view->scrollTo(at);
  };
  sync(fgToDo_, frm_.fgToDo);
  sync(fgLog_, frm_.fgLog);
  syncingSelection_ = false;
}

void MainFormWidget::OnToDoRowClicked(int modelRow) {
  if (syncingSelection_) return;
  const int row = modelRow + 1;
  if (row == frm_.fgToDo.Row() || row == refusedRow_) return;
  if (frm_.bRunning || frm_.bGridUpdateByCode) {
    // A running job owns the current row: the view shows it again.
    QMetaObject::invokeMethod(this, [this] { SyncCurrentRows(); }, Qt::QueuedConnection);
    return;
  }
  if (editor_ && !editor_->ChangeToDoRow(row)) {
    // The edited task stays current with its edits; the view shows its row
    // again, and the rest of the same click changes nothing.
    refusedRow_ = row;
    QMetaObject::invokeMethod(this, [this] { SyncCurrentRows(); }, Qt::QueuedConnection);
    UpdateMenuToolbar();
    return;
  }
  if (frm_.fgToDo.Row() != row) {
    frm_.fgToDo.SetRow(row);
    EnterToDoCell();
  }
  frm_.SelectGridRow(frm_.fgToDo);
  UpdateMenuToolbar();
}

void MainFormWidget::SelectTab(int tab) {
  if (tab < 1 || tab > ts_->count()) return;
  ts_->setCurrentIndex(tab - 1);
}

void MainFormWidget::OnTabChanged(int index) {
  pages_->setCurrentIndex(index);
  SizeFlexibleColumns();
  UpdateMenuToolbar();
  if (index == 0) EnterToDoCell();
}

void MainFormWidget::cmdPDFtoRTFAdvancedOptions_Click() {
  std::string record = frm_.sQuirepaneAdvancedOptions;
  if (ShowAdvancedOptions(this, frm_, record) != QDialog::Accepted || record == frm_.sQuirepaneAdvancedOptions) return;
  if (editor_) {
    editor_->AdvancedOptionsEdited(record);
  } else {
    frm_.sQuirepaneAdvancedOptions = record;
    frm_.bCurrentActionItemDirty = true;
  }
  UpdateMenuToolbar();
}

void MainFormWidget::ShowActionInPanel(bool bSpecial, int lSpecialProcess, const std::string& sOriginalFile) {
  // The panel's widgets are set as a user would; the panel's behaviour
  // follows them.
  if (auto* rb = findChild<QRadioButton*>(bSpecial ? "rbActionToDo_1" : "rbActionToDo_0")) rb->click();
  if (!editor_) {
    frm_.sActionToDo = bSpecial ? "S" : "C";
    frm_.lConversionMethod = bSpecial ? 4 : 1;
    if (auto* frame = findChild<QWidget*>("frameSpecializedAction")) {
      frame->setVisible(bSpecial);
      if (bSpecial) frame->raise();
    }
  }
  if (bSpecial) {
    if (auto* cb = findChild<QComboBox*>("cbSpecialProcesses")) {
      const int at = cb->findData(lSpecialProcess);
      if (at >= 0) cb->setCurrentIndex(at);
    }
  } else if (!sOriginalFile.empty()) {
    SetInputText(sOriginalFile);
  }
}

// --- MainFormView ---

ItemEditorFields* MainFormWidget::EditorFields() {
  ItemEditorFields* panel = editor_ ? editor_->Fields() : nullptr;
  return panel ? panel : this;
}

void MainFormWidget::UpdateMRUs() {
  histories_.Update(frm_.sActionToDo, *this, frm_.bGridUpdateByCode);
  if (editor_) editor_->UpdateMRUs();
}

bool MainFormWidget::IsVisible() { return frame_.isVisible(); }

bool MainFormWidget::ShowTypeMismatchDialog(TypeMismatchNotice& notice) {
  return ShowTypeMismatchNotice(this, notice);
}

// --- JobView ---

bool MainFormWidget::CollectConversionItemFromGUI(clsConversionOptions& co) {
  return editor_ && editor_->CollectConversionItemFromGUI(co);
}

bool MainFormWidget::ConversionJobUpdate() { return editor_ && editor_->ConversionJobUpdate(); }

void MainFormWidget::EnterToDoCell() {
  if (editor_) editor_->EnterToDoCell();
  UpdateMenuToolbar();
}

// The title tells the picker whether it asks for a file to save.
std::string MainFormWidget::PickJobFile(bool /*bSave*/, const std::string& title, const std::string& initial) {
  // Before any job was opened or saved the dialog shows the demo jobs.
  std::string start = initial.empty() ? sDataFolder + "Demo Conversion Jobs/" : initial;
  long filterIndex = 1;
  return PickFileInitDir(this, title, Translate("Tessaprint (*.ZOL)|*.ZOL"), filterIndex, start);
}

void MainFormWidget::SetFormCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void MainFormWidget::SetFrameCaption(const std::string& caption) {
  if (auto* frame = qobject_cast<MainFrame*>(&frame_)) {
    frame->SetCaption(caption);
  } else {
    frame_.setWindowTitle(QString::fromStdString(caption));
  }
}

void MainFormWidget::AddOpenedJobFile(const std::string& path) {
  histories_.AddJobFile(path);
  FillRecentJobsMenu();
}

void MainFormWidget::FocusToDoGrid() {
  if (isVisible()) fgToDo_->setFocus();
}

void MainFormWidget::SelectToDoTab() { SelectTab(1); }

// --- ItemEditorFields ---

namespace {

QComboBox* Field(const QWidget* form, const char* name) { return form->findChild<QComboBox*>(name); }

}  // namespace

std::string MainFormWidget::InputText() const {
  const QComboBox* cb = Field(this, "cbOriginalFile");
  return cb ? cb->currentText().toStdString() : "";
}

void MainFormWidget::SetInputText(const std::string& text) {
  if (QComboBox* cb = Field(this, "cbOriginalFile")) cb->setEditText(QString::fromStdString(text));
}

std::string MainFormWidget::OutputText() const {
  const QComboBox* cb = Field(this, "cbTargetFile");
  return cb ? cb->currentText().toStdString() : "";
}

void MainFormWidget::SetOutputText(const std::string& text) {
  if (QComboBox* cb = Field(this, "cbTargetFile")) cb->setEditText(QString::fromStdString(text));
}

bool MainFormWidget::InputVisible() const {
  const QComboBox* cb = Field(this, "cbOriginalFile");
  return cb && cb->isVisibleTo(this);
}

bool MainFormWidget::OutputVisible() const {
  const QComboBox* cb = Field(this, "cbTargetFile");
  return cb && cb->isVisibleTo(this);
}

void MainFormWidget::FocusInput() {
  if (QComboBox* cb = Field(this, "cbOriginalFile")) {
    cb->setFocus();
    if (cb->lineEdit()) cb->lineEdit()->selectAll();
  }
}

void MainFormWidget::FocusOutput() {
  if (QComboBox* cb = Field(this, "cbTargetFile")) {
    cb->setFocus();
    if (cb->lineEdit()) cb->lineEdit()->selectAll();
  }
}

}  // namespace tessa
