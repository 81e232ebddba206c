#include "mainwindow/qt/item_editor_panel_binding.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <cstdlib>

#include <gtest/gtest.h>

#include "engine/job/todo_grid.h"
#include "engine/main_form.h"
#include "support/modal_driver.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

// The program's one application, shared with the dialog tests.
QApplication& App() { return test::QtApp(); }

// The to-do grid's task rows and placeholder as a table (view row r is grid row r + 1).
class GridModel : public QAbstractTableModel {
 public:
  GridModel(FlexGrid& g, QObject* parent) : QAbstractTableModel(parent), g_(g) {
    handle_ = g_.Subscribe([this](const GridChange& c) {
      if (c.kind == GridChange::CellChanged) {
        emit dataChanged(index(c.first - 1, c.column), index(c.first - 1, c.column));
      } else if (c.kind != GridChange::CurrentChanged && c.kind != GridChange::Layout) {
        beginResetModel();
        endResetModel();
      }
    });
  }
  ~GridModel() override { g_.Unsubscribe(handle_); }
  int rowCount(const QModelIndex& = {}) const override { return g_.Rows() - 1; }
  int columnCount(const QModelIndex& = {}) const override { return g_.Cols(); }
  QVariant data(const QModelIndex& i, int role) const override {
    return role == Qt::DisplayRole ? QString::fromStdString(g_.TextMatrix(i.row() + 1, i.column())) : QVariant();
  }

 private:
  FlexGrid& g_;
  int handle_ = 0;
};

template <class W>
W* Add(QLayout* layout, W* w, const char* name) {
  w->setObjectName(name);
  layout->addWidget(w);
  return w;
}

QComboBox* Combo(QLayout* layout, const char* name, bool editable) {
  auto* cb = Add(layout, new QComboBox, name);
  cb->setEditable(editable);
  cb->setInsertPolicy(QComboBox::NoInsert);
  return cb;
}

// A main form's panel controls under their names, and the to-do grid.
struct TestForm {
  QWidget form;
  QTableView* grid;
  explicit TestForm(FlexGrid& g) {
    auto* column = new QVBoxLayout(&form);
    auto* actions = new QHBoxLayout;
    column->addLayout(actions);
    Add(actions, new QRadioButton("(&C)onvert Files"), "rbActionToDo_0")->setChecked(true);
    Add(actions, new QRadioButton("(&S)pecial Processing on Files"), "rbActionToDo_1");
    for (const char* b : {"cmdAdd", "cmdRemove", "cmdUpdate"}) Add(actions, new QPushButton(b + 3), b);
    auto* input = Add(column, new QGroupBox("Input File(s)"), "frameSelectOriginal");
    auto* in = new QHBoxLayout(input);
    Combo(in, "cbOriginalFile", true)->setMinimumWidth(320);
    Add(in, new QPushButton("   File.."), "cmdSelectSourceFile");
    Add(in, new QLabel("Input File Format"), "lblFileTypeOriginal");
    Combo(in, "cbFileTypeOriginal", false);
    Add(in, new QCheckBox("Do Subfolders"), "cbDoSubfolders");
    auto* output = Add(column, new QGroupBox("Output File(s)"), "frameSelectTarget");
    auto* out = new QHBoxLayout(output);
    Add(out, new QCheckBox("Save to Input folder"), "cbSaveToOriginalFolder");
    auto* target = Add(out, new QWidget, "frameTargetFile");
    auto* t = new QHBoxLayout(target);
    Combo(t, "cbTargetFile", true)->setMinimumWidth(320);
    Add(t, new QPushButton("   File.."), "cmdSelectTargetFile");
    Combo(t, "cbFileTypeTarget", false);
    auto* special = Add(column, new QGroupBox("Special Process"), "frameSpecializedAction");
    auto* sp = new QVBoxLayout(special);
    Combo(sp, "cbSpecialProcesses", false);
    auto* commandLine = Add(sp, new QWidget, "frameCommandLine");
    auto* cl = new QHBoxLayout(commandLine);
    Combo(cl, "cbCommandLine", true)->setMinimumWidth(200);
    Combo(cl, "cbCommandLineArguments", true);
    Combo(cl, "cbCommandLineWindowState", false);
    Combo(cl, "cbCommandLineThreadPriority", false);
    Add(cl, new QLineEdit("-1"), "txtCommandLineWaitTimeInSeconds");
    grid = Add(column, new QTableView, "fgToDo");
    grid->setModel(new GridModel(g, grid));
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    form.resize(900, 420);
    form.show();
  }
  template <class W>
  W* Get(const char* name) {
    return form.findChild<W*>(name);
  }
  void Type(const char* combo, const QString& text) {
    auto* edit = Get<QComboBox>(combo)->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  // Puts text in at once, as a paste does: a folder on the way to the
  // file's name, with a dot in it, proposes nothing of its own.
  void Paste(const char* combo, const QString& text) {
    auto* edit = Get<QComboBox>(combo)->lineEdit();
    edit->clear();
    edit->insert(text);
  }
  void Click(const char* button) { QTest::mouseClick(Get<QAbstractButton>(button), Qt::LeftButton); }
  void ClickRow(int viewRow) {
    const QRect cell = grid->visualRect(grid->model()->index(viewRow, kColInput));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  }
  void Shot(const char* name) {
    const QString folder = QStringLiteral(TESSA_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(form.grab().save(folder + "/" + name));
  }
};

TEST(ItemEditorPanelBindingTest, BuildsAddsLoadsUpdatesAndMovesTasks) {
  App();
  test::ScriptedUserInterface ui;
  test::TempDir dir;
  const QString image = QString::fromStdString(test::WriteFile(dir.path() / "a.png", "png"));
  MainForm frm;
  frm.InitToDoGrid(frm.fgToDo);
  TestForm f(frm.fgToDo);
  ItemEditorPanelBinding binding(frm, &f.form);

  // A path put in selects its type and proposes the output.
  f.Paste("cbOriginalFile", image);
  EXPECT_EQ(f.Get<QComboBox>("cbFileTypeOriginal")->currentData().toInt(), 13);
  EXPECT_EQ(f.Get<QComboBox>("cbTargetFile")->currentText().toStdString(), dir.file("Output File.pdf"));
  EXPECT_FALSE(f.Get<QCheckBox>("cbDoSubfolders")->isVisibleTo(&f.form));
  f.Shot("item_editor_conversion.png");

  f.Click("cmdAdd");
  ASSERT_EQ(frm.fgToDo.Rows(), 3) << (ui.boxes.empty() ? "" : ui.boxes.back().prompt);
  EXPECT_EQ(frm.fgToDo.TextMatrix(1, kColInput), image.toStdString());
  EXPECT_EQ(frm.fgToDo.TextMatrix(1, kColFlags), "M");

  // A special process: its frame takes the place of the file frames.
  QTest::mouseClick(f.Get<QRadioButton>("rbActionToDo_1"), Qt::LeftButton);
  EXPECT_TRUE(f.Get<QWidget>("frameSpecializedAction")->isVisible());
  EXPECT_FALSE(f.Get<QWidget>("frameSelectOriginal")->isVisible());
  f.Type("cbCommandLine", "/bin/true");
  f.Shot("item_editor_special_process.png");
  f.Click("cmdAdd");
  ASSERT_EQ(frm.fgToDo.Rows(), 4) << (ui.boxes.empty() ? "" : ui.boxes.back().prompt);
  EXPECT_EQ(frm.fgToDo.TextMatrix(2, kColAction), "S60");

  // Selecting the first task loads it back.
  f.ClickRow(0);
  EXPECT_EQ(frm.fgToDo.Row(), 1);
  EXPECT_TRUE(f.Get<QRadioButton>("rbActionToDo_0")->isChecked());
  EXPECT_TRUE(f.Get<QWidget>("frameSelectOriginal")->isVisible());
  EXPECT_EQ(f.Get<QComboBox>("cbOriginalFile")->currentText(), image);

  f.Type("cbTargetFile", QString::fromStdString(dir.file("b.pdf")));
  f.Click("cmdUpdate");
  EXPECT_EQ(frm.fgToDo.TextMatrix(1, kColOutput), dir.file("b.pdf"));
  EXPECT_EQ(frm.fgToDo.TextMatrix(1, kColFlags), " M");
  EXPECT_FALSE(frm.bCurrentActionItemDirty);
  f.Get<QComboBox>("cbTargetFile")->addItem("/tmp/history.pdf");
  frm.bCurrentActionItemDirty = false;
  f.Get<QComboBox>("cbTargetFile")->showPopup();  // opening its history list counts as an edit
  EXPECT_TRUE(frm.bCurrentActionItemDirty);
  f.Get<QComboBox>("cbTargetFile")->hidePopup();

  // Ctrl+D and Ctrl+U move it; the view follows.
  f.grid->setFocus();
  QTest::keyClick(f.grid, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(frm.fgToDo.TextMatrix(2, kColOutput), dir.file("b.pdf"));
  EXPECT_EQ(frm.fgToDo.TextMatrix(1, kColAction), "S60");
  EXPECT_EQ(frm.fgToDo.TextMatrix(2, kColNumber), "2");
  EXPECT_EQ(f.grid->currentIndex().row(), 1);
  QTest::keyClick(f.grid, Qt::Key_U, Qt::ControlModifier);
  EXPECT_EQ(frm.fgToDo.TextMatrix(1, kColOutput), dir.file("b.pdf"));
  EXPECT_EQ(frm.fgToDo.Row(), 1);
  EXPECT_TRUE(ui.boxes.empty());

  // A double-click in the grid edits the advanced options.
  binding.SetAdvancedOptionsEditor([](std::string& record) { return !(record = "TRUE^x^^^^^2^*^").empty(); });
  QTest::mouseDClick(f.grid->viewport(), Qt::LeftButton, {},
                     f.grid->visualRect(f.grid->model()->index(0, kColInput)).center());
  EXPECT_EQ(frm.sQuirepaneAdvancedOptions, "TRUE^x^^^^^2^*^");
  EXPECT_TRUE(frm.bCurrentActionItemDirty);
}

}  // namespace
}  // namespace tessa
