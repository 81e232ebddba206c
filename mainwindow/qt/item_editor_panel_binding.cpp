// The widgets only mirror the panel model: every user edit is handed to the
// model's setter of that control, and after each change the model reports,
// every widget is set from the model's state with its signals blocked.
#include "mainwindow/qt/item_editor_panel_binding.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QUrl>

#include "common/file_helpers.h"
#include "common/qt/pickers.h"
#include "common/text_helpers.h"
#include "engine/editor/editor_views.h"
#include "engine/job/row_moves.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"

namespace tessa {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The property that names the combo whose history list a list view shows.
constexpr const char* kDropDownOf = "tessaDropDownOf";

// Shows combo's rows and selection; rows are only rebuilt when they differ.
void ShowCombo(QComboBox* cb, const PanelCombo& combo) {
  if (!cb) return;
  QSignalBlocker block(cb);
  bool same = cb->count() == static_cast<int>(combo.rows.size());
  for (int i = 0; same && i < cb->count(); ++i)
    same = cb->itemText(i) == Q(combo.rows[i].text) && cb->itemData(i).toInt() == combo.rows[i].itemData;
  if (!same) {
    cb->clear();
    for (const ListRow& row : combo.rows) cb->addItem(Q(row.text), row.itemData);
  }
  if (cb->currentIndex() != combo.listIndex) cb->setCurrentIndex(combo.listIndex);
}

void ShowText(QComboBox* cb, const std::string& text) {
  if (!cb || cb->currentText() == Q(text)) return;
  QSignalBlocker block(cb);
  cb->setEditText(Q(text));
}

void ShowCheck(QAbstractButton* b, bool checked, bool visible) {
  if (!b) return;
  QSignalBlocker block(b);
  b->setChecked(checked);
  b->setVisible(visible);
}

void ShowWidget(QWidget* w, bool visible) {
  if (w && w->isVisibleTo(w->parentWidget()) != visible) w->setVisible(visible);
}

// The selection of cb when its rows are the panel's, else keep.
void AdoptSelection(QComboBox* cb, const PanelCombo& combo, const std::function<void(int)>& select) {
  if (!cb || cb->count() != static_cast<int>(combo.rows.size())) return;
  for (int i = 0; i < cb->count(); ++i)
    if (cb->itemData(i).toInt() != combo.rows[i].itemData) return;
  select(cb->currentIndex());
}

// The original's shift state: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

template <class W>
W* ItemEditorPanelBinding::Find(const char* name) const {
  return form_->findChild<W*>(QString::fromLatin1(name));
}

ItemEditorPanelBinding::ItemEditorPanelBinding(MainForm& frm, QWidget* form, Options options)
    : QObject(form), frm_(frm), form_(form), options_(options), panel_(frm) {
  panel_.SetFollowGridRows(options_.bOwnCommands);
  AdoptWidgetState();
  panel_.SetView(this);
  PanelChanged();
  ConnectEdits();
  ConnectButtons();
  if (options_.bOwnCommands) {
    views_ = std::make_unique<EditorViewsInstalled>(frm_, panel_);
    ConnectCommands();
  }
}

ItemEditorPanelBinding::~ItemEditorPanelBinding() {
  if (gridHandle_) frm_.fgToDo.Unsubscribe(gridHandle_);
  panel_.SetView(nullptr);
}

void ItemEditorPanelBinding::AdoptWidgetState() {
  GridUpdateByCode loading(frm_.bGridUpdateByCode);
  ItemEditorPanel& p = panel_;
  if (auto* rb = Find<QRadioButton>("rbActionToDo_1")) frm_.sActionToDo = std::string(1, rb->isChecked() ? 'S' : 'C');
  const EditorPanelState& s = p.State();
  AdoptSelection(Find<QComboBox>("cbFileTypeOriginal"), s.cbFileTypeOriginal, [&](int i) { p.SelectInputType(i); });
  AdoptSelection(Find<QComboBox>("cbFileTypeTarget"), s.cbFileTypeTarget, [&](int i) { p.SelectOutputType(i); });
  AdoptSelection(Find<QComboBox>("cbSpecialProcesses"), s.cbSpecialProcesses,
                 [&](int i) { p.SelectSpecialProcess(i); });
  AdoptSelection(Find<QComboBox>("cbCommandLineWindowState"), s.cbCommandLineWindowState,
                 [&](int i) { p.SelectWindowState(i); });
  AdoptSelection(Find<QComboBox>("cbCommandLineThreadPriority"), s.cbCommandLineThreadPriority,
                 [&](int i) { p.SelectThreadPriority(i); });
  if (auto* cb = Find<QComboBox>("cbOriginalFile")) p.SetInputText(cb->currentText().toStdString());
  if (auto* cb = Find<QComboBox>("cbTargetFile")) p.SetOutputText(cb->currentText().toStdString());
  if (auto* cb = Find<QComboBox>("cbCommandLine")) p.SetCommandLine(cb->currentText().toStdString());
  if (auto* cb = Find<QComboBox>("cbCommandLineArguments")) p.SetCommandLineArguments(cb->currentText().toStdString());
  if (auto* t = Find<QLineEdit>("txtCommandLineWaitTimeInSeconds")) p.SetWaitTimeText(t->text().toStdString());
  if (auto* c = Find<QCheckBox>("cbDoSubfolders")) p.SetDoSubfolders(c->isChecked());
  p.RefreshConvertOptionsGUI();
}

void ItemEditorPanelBinding::PanelChanged() {
  if (syncing_) return;
  syncing_ = true;
  const EditorPanelState& s = panel_.State();
  for (int i = 0; i < 2; ++i) {
    if (auto* rb = Find<QRadioButton>(i == 0 ? "rbActionToDo_0" : "rbActionToDo_1")) {
      QSignalBlocker block(rb);
      rb->setChecked(s.rbActionToDo == i);
    }
  }
  ShowText(Find<QComboBox>("cbOriginalFile"), s.cbOriginalFile);
  ShowCombo(Find<QComboBox>("cbFileTypeOriginal"), s.cbFileTypeOriginal);
  ShowWidget(Find<QWidget>("cbFileTypeOriginal"), s.cbFileTypeOriginalVisible);
  ShowWidget(Find<QWidget>("lblFileTypeOriginal"), s.cbFileTypeOriginalVisible);
  ShowCheck(Find<QCheckBox>("cbDoSubfolders"), s.cbDoSubfolders, s.cbDoSubfoldersVisible);
  ShowCheck(Find<QCheckBox>("cbSaveToOriginalFolder"), s.cbSaveToOriginalFolder, s.cbSaveToOriginalFolderVisible);
  ShowWidget(Find<QWidget>("frameTargetFile"), s.frameTargetFileVisible);
  ShowText(Find<QComboBox>("cbTargetFile"), s.cbTargetFile);
  ShowCombo(Find<QComboBox>("cbFileTypeTarget"), s.cbFileTypeTarget);
  ShowWidget(Find<QWidget>("cmdSelectTargetFile"), s.cmdSelectTargetFileVisible);
  ShowWidget(Find<QWidget>("picSelectTargetFile"), s.cmdSelectTargetFileVisible);

  // The special-process frame takes the place of the input and output frames.
  ShowWidget(Find<QWidget>("frameSelectOriginal"), !s.frameSpecializedActionVisible);
  ShowWidget(Find<QWidget>("frameSelectTarget"), !s.frameSpecializedActionVisible);
  if (auto* frame = Find<QWidget>("frameSpecializedAction")) {
    ShowWidget(frame, s.frameSpecializedActionVisible);
    if (s.frameSpecializedActionVisible) frame->raise();
  }
  ShowWidget(Find<QWidget>("frameCommandLine"), s.frameCommandLineVisible);
  ShowCombo(Find<QComboBox>("cbSpecialProcesses"), s.cbSpecialProcesses);
  ShowText(Find<QComboBox>("cbCommandLine"), s.cbCommandLine);
  ShowText(Find<QComboBox>("cbCommandLineArguments"), s.cbCommandLineArguments);
  ShowCombo(Find<QComboBox>("cbCommandLineWindowState"), s.cbCommandLineWindowState);
  ShowCombo(Find<QComboBox>("cbCommandLineThreadPriority"), s.cbCommandLineThreadPriority);
  if (auto* t = Find<QLineEdit>("txtCommandLineWaitTimeInSeconds"); t && t->text() != Q(s.txtCommandLineWaitTimeInSeconds)) {
    QSignalBlocker block(t);
    t->setText(Q(s.txtCommandLineWaitTimeInSeconds));
  }
  syncing_ = false;
}

void ItemEditorPanelBinding::ConnectEdits() {
  ItemEditorPanel& p = panel_;
  auto text = [this](const char* name, void (ItemEditorPanel::*set)(const std::string&)) {
    if (auto* cb = Find<QComboBox>(name))
      connect(cb, &QComboBox::editTextChanged, this, [this, set](const QString& t) {
        if (!syncing_) (panel_.*set)(t.toStdString());
      });
  };
  text("cbOriginalFile", &ItemEditorPanel::SetInputText);
  text("cbTargetFile", &ItemEditorPanel::SetOutputText);
  text("cbCommandLine", &ItemEditorPanel::SetCommandLine);
  text("cbCommandLineArguments", &ItemEditorPanel::SetCommandLineArguments);
  auto list = [this](const char* name, void (ItemEditorPanel::*select)(int)) {
    if (auto* cb = Find<QComboBox>(name))
      connect(cb, &QComboBox::currentIndexChanged, this, [this, select](int i) {
        if (!syncing_) (panel_.*select)(i);
      });
  };
  list("cbFileTypeOriginal", &ItemEditorPanel::SelectInputType);
  list("cbFileTypeTarget", &ItemEditorPanel::SelectOutputType);
  list("cbSpecialProcesses", &ItemEditorPanel::SelectSpecialProcess);
  list("cbCommandLineWindowState", &ItemEditorPanel::SelectWindowState);
  list("cbCommandLineThreadPriority", &ItemEditorPanel::SelectThreadPriority);
  auto check = [this](const char* name, void (ItemEditorPanel::*set)(bool)) {
    if (auto* c = Find<QCheckBox>(name))
      connect(c, &QCheckBox::toggled, this, [this, set](bool on) {
        if (!syncing_) (panel_.*set)(on);
      });
  };
  check("cbDoSubfolders", &ItemEditorPanel::SetDoSubfolders);
  check("cbSaveToOriginalFolder", &ItemEditorPanel::SetSaveToOriginalFolder);
  for (int i = 0; i < 2; ++i) {
    if (auto* rb = Find<QRadioButton>(i == 0 ? "rbActionToDo_0" : "rbActionToDo_1"))
      connect(rb, &QRadioButton::toggled, this, [this, i](bool on) {
        if (on && !syncing_) panel_.SelectAction(i);
      });
  }
  if (auto* t = Find<QLineEdit>("txtCommandLineWaitTimeInSeconds"))
    connect(t, &QLineEdit::textChanged, this, [this, &p](const QString& v) {
      if (!syncing_) p.SetWaitTimeText(v.toStdString());
    });
  // Opening a history list is an edit too: its list view shows.
  for (const char* name : {"cbOriginalFile", "cbTargetFile", "cbCommandLine"}) {
    if (auto* cb = Find<QComboBox>(name)) {
      cb->view()->setProperty(kDropDownOf, QString::fromLatin1(name));
      cb->view()->installEventFilter(this);
    }
  }
}

void ItemEditorPanelBinding::OnButton(const char* button, const char* picture, std::function<void()> fn) {
  for (const char* name : {button, picture}) {
    if (!name) continue;
    if (auto* b = Find<QAbstractButton>(name)) connect(b, &QAbstractButton::clicked, this, fn);
  }
}

void ItemEditorPanelBinding::ConnectButtons() {
  ItemEditorPanel& p = panel_;
  OnButton("cmdSelectSourceFile", "picSelectSourceFile", [this, &p] { p.SourceFilePicked(Pick(p.SourceFilePicker())); });
  OnButton("cmdSelectSourceFolder", "picSelectSourceFolder",
           [this, &p] { p.SourceFolderPicked(Pick(p.SourceFolderPicker())); });
  OnButton("cmdSelectTargetFile", "picSelectTargetFile", [this, &p] { p.TargetFilePicked(Pick(p.TargetFilePicker())); });
  OnButton("cmdSelectTargetFolder", "picSelectTargetFolder",
           [this, &p] { p.TargetFolderPicked(Pick(p.TargetFolderPicker())); });
  OnButton("cmdCommandLineSelectApplication", "picCommandLineSelectApplication",
           [this, &p] { p.ProgramPicked(Pick(p.ProgramPicker())); });
  OnButton("cmdLaunchOriginal", nullptr, [this, &p] { Launch(p.LaunchOriginal()); });
  OnButton("cmdLaunchTarget", nullptr, [this, &p] { Launch(p.LaunchTarget()); });
  OnButton("cmdLaunchCommandLine", nullptr,
           [this, &p] { Launch(p.LaunchCommandLine(), p.State().cbCommandLineArguments, true); });
  OnButton("cmdPDFtoRTFAdvancedOptions", "stpAdvancedOptions", [this] { EditAdvancedOptions(); });
}

void ItemEditorPanelBinding::EditAdvancedOptions() {
  if (!advancedOptionsEditor_) return;
  std::string record = frm_.sQuirepaneAdvancedOptions;
  if (advancedOptionsEditor_(record)) panel_.AdvancedOptionsEdited(record);
}

void ItemEditorPanelBinding::ConnectCommands() {
  OnButton("cmdAdd", nullptr, [this] { frm_.cmdAdd_Click(); });
  OnButton("cmdUpdate", nullptr, [this] { frm_.Job().ConversionJobUpdate(); });
  OnButton("cmdRemove", nullptr, [this] { frm_.cmdRemove_Click(); });
  auto* grid = Find<QTableView>("fgToDo");
  if (!grid || !grid->selectionModel()) return;
  grid->installEventFilter(this);
  connect(grid, &QAbstractItemView::doubleClicked, this, [this] { EditAdvancedOptions(); });
  connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& now) {
    if (!gridSyncing_ && now.isValid() && now.row() + 1 != frm_.fgToDo.Row()) frm_.fgToDo.SetRow(now.row() + 1);
  });
  gridHandle_ = frm_.fgToDo.Subscribe([this](const GridChange& c) {
    if (c.kind == GridChange::CurrentChanged) ShowGridRow();
  });
}

// The view's current row follows the grid's (view row r is grid row r + 1).
void ItemEditorPanelBinding::ShowGridRow() {
  auto* grid = Find<QTableView>("fgToDo");
  if (!grid || !grid->model() || gridSyncing_) return;
  const QModelIndex at = grid->model()->index(frm_.fgToDo.Row() - 1, 0);
  if (!at.isValid() || grid->currentIndex().row() == at.row()) return;
  gridSyncing_ = true;
  grid->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  gridSyncing_ = false;
}

bool ItemEditorPanelBinding::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && !syncing_) {
    const QString combo = watched->property(kDropDownOf).toString();
    if (combo == QLatin1String("cbOriginalFile")) panel_.DropDownInput();
    if (combo == QLatin1String("cbTargetFile")) panel_.DropDownOutput();
    if (combo == QLatin1String("cbCommandLine")) panel_.DropDownCommandLine();
  }
  if (event->type() == QEvent::KeyRelease && watched->objectName() == QLatin1String("fgToDo")) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->isAutoRepeat()) fgToDo_KeyUp(frm_, key->key(), ShiftState(key->modifiers()));
  }
  return QObject::eventFilter(watched, event);
}

void ItemEditorPanelBinding::FocusControl(const std::string& objectName) {
  auto* w = form_->findChild<QWidget*>(Q(objectName));
  if (!w) return;
  w->setFocus();
  if (auto* cb = qobject_cast<QComboBox*>(w); cb && cb->lineEdit()) cb->lineEdit()->selectAll();
  if (auto* t = qobject_cast<QLineEdit*>(w)) t->selectAll();
}

void ItemEditorPanelBinding::OpenMail(const std::string& address) {
  QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + Q(address)));
}

std::string ItemEditorPanelBinding::Pick(const PickerRequest& request) {
  std::string start = request.start;
  if (request.bFolder) return BrowseForFolder(form_, start);
  return PickFileInitDir(form_, request.title, request.filter, filterIndex_, start);
}

void ItemEditorPanelBinding::Launch(const ItemEditorPanel::LaunchRequest& request, const std::string& arguments,
                                    bool bProgram) {
  if (request.kind == ItemEditorPanel::LaunchRequest::None) return;
  if (bProgram && QProcess::startDetached(Q(request.path), QProcess::splitCommand(Q(arguments)))) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(request.path)));
}

}  // namespace tessa
