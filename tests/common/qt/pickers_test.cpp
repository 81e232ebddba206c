#include "common/qt/pickers.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
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

  // An open dialog: the log filter shows .LOG and .log names alike.
  long index = 1;
  int shown = -1;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
  OnNextModal<QFileDialog>([&](QFileDialog* d) {
    mode = d->acceptMode();
    auto* model = d->findChild<QFileSystemModel*>();
    const QModelIndex folder = model->index(QString::fromStdString(root));
    for (int i = 0; i < 3000 && model->rowCount(folder) < 2; ++i) QTest::qWait(10);
    shown = model->rowCount(folder);
    d->selectNameFilter("Text Files (*.TXT)");
    d->selectFile(QString::fromStdString(root + "/c.txt"));
    static_cast<QDialog*>(d)->done(QDialog::Accepted);  // no checks that could raise a box
  });
  std::string start = root + "/gone/x.txt";
  EXPECT_EQ(PickFileInitDir(nullptr, "Report File Path", filter, index, start), root + "/c.txt");
  EXPECT_EQ(mode, QFileDialog::AcceptOpen);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(start, root + "/");

  // A title holding "save" in any case asks for a file to save; a cancel
  // keeps the index.
  OnNextModal<QFileDialog>([&](QFileDialog* d) {
    mode = d->acceptMode();
    d->selectNameFilter("All Files (*)");
    d->reject();
  });
  EXPECT_EQ(PickFile(nullptr, "SAVE Conversion Job", filter, index), "");
  EXPECT_EQ(mode, QFileDialog::AcceptSave);
  EXPECT_EQ(index, 2);
}

TEST(Pickers, BrowsingTheRootGivesTheRoot) {
  test::QtApp();
  QString startShown;
  OnNextModal<QFileDialog>([&](QFileDialog* d) {
    startShown = d->directory().absolutePath();
    d->selectFile("/");
    static_cast<QDialog*>(d)->done(QDialog::Accepted);  // no checks that could raise a box
  });
  std::string start = "/";
  EXPECT_EQ(BrowseForFolder(nullptr, start), "/");
  EXPECT_EQ(startShown, "/");
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
