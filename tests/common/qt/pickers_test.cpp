#include "common/qt/pickers.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include "common/mru_list.h"
#include "common/qt/mru_fillers.h"
#include "support/modal_driver.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::OnNextModal;

TEST(Pickers, SaveTitleFilterIndexAndCancel) {
  test::QtApp();
  test::TempDir dir;
  const std::string root = dir.path().string();
  for (const char* name : {"a.LOG", "b.log", "c.txt"}) test::WriteFile(dir.path() / name, "x");
  const std::string filter = "Log File(*.LOG)|*.LOG|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*";

  // An open dialog starting in the nearest existing folder: the log filter
  // shows .LOG and .log names alike. A cancel keeps the index.
  long index = 1;
  int shown = -1;
  QString filterShown;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
  OnNextModal<QFileDialog>([&](QFileDialog* d) {
    mode = d->acceptMode();
    filterShown = d->selectedNameFilter();
    auto* model = d->findChild<QFileSystemModel*>();
    const QModelIndex folder = model->index(QString::fromStdString(root));
    for (int i = 0; i < 3000 && model->rowCount(folder) < 2; ++i) QTest::qWait(10);
    shown = model->rowCount(folder);
    d->selectNameFilter("Text Files (*.TXT)");
    d->reject();
  });
  std::string start = root + "/gone/x.txt";
  EXPECT_EQ(PickFileInitDir(nullptr, "Report File Path", filter, index, start), "");
  EXPECT_EQ(mode, QFileDialog::AcceptOpen);
  EXPECT_EQ(filterShown, "Log File (*.LOG)");
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(start, root + "/");

  // A title holding "save" in any case asks for a file to save; the filter
  // in use comes back as its index.
  OnNextModal<QFileDialog>([&](QFileDialog* d) {
    mode = d->acceptMode();
    d->selectNameFilter("Text Files (*.TXT)");
    // Typed once the folder has settled (it loads on its own thread).
    d->setDirectory(QString::fromStdString(root));
    const QStringList typed{QString::fromStdString(root + "/new.txt")};
    for (int i = 0; i < 3000 && d->selectedFiles() != typed; ++i) {
      d->findChild<QLineEdit*>("fileNameEdit")->setText("new.txt");
      QTest::qWait(10);
    }
    static_cast<QDialog*>(d)->done(QDialog::Accepted);  // no checks that could raise a box
  });
  EXPECT_EQ(PickFile(nullptr, "SAVE Conversion Job", filter, index), root + "/new.txt");
  EXPECT_EQ(mode, QFileDialog::AcceptSave);
  EXPECT_EQ(index, 2);
}

TEST(MruFillers, MenuEntriesNumberedNewestFirstWithAmpersandShown) {
  test::QtApp();
  test::TempDir dir;
  clsMRU mru;
  mru.Setup(5, dir.file("s.INI"), "mruFileOpen", "/jobs/old.ZOL,/jobs/R&D.ZOL");
  QMenu menu;
  QAction* exit = menu.addAction("E&xit");
  bool loading = false, loadingSeen = false;
  int clicked = 0;
  QComboBox combo;
  QObject::connect(&combo, &QComboBox::currentIndexChanged, [&] { loadingSeen = loading; });
  for (int pass = 0; pass < 2; ++pass)  // a refill replaces the entries
    FillMenuFromMRU(&menu, exit, mru, loading, [&](int i) { clicked = i; });
  FillComboFromMRU(&combo, mru, loading);
  const QList<QAction*> actions = menu.actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[0]->text(), "&1 /jobs/R&&D.ZOL");
  EXPECT_EQ(actions[1]->text(), "&2 /jobs/old.ZOL");
  EXPECT_EQ(actions[1]->property("tag").toString(), "TranslateFalse");
  EXPECT_EQ(actions[2], exit);
  actions[1]->trigger();
  EXPECT_EQ(clicked, 2);
  EXPECT_EQ(combo.count(), 2);
  EXPECT_EQ(combo.currentText(), "/jobs/R&D.ZOL");
  EXPECT_TRUE(loadingSeen);  // handlers saw the program filling the box
  EXPECT_FALSE(loading);
}

}  // namespace
}  // namespace tessa
