// The main window's menus open the real dialogs, remember recent job files
// and switch the interface language.
#include <QDialog>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "common/qt/language_dialog.h"
#include "common/translator.h"
#include "window_fixture.h"

namespace tessa::test {
namespace {

class DialogWiring : public WindowTest {
 protected:
  // Runs open and returns the object name of the modal dialog it showed,
  // which Esc closes; "" when none showed.
  std::string ModalOf(const std::function<void()>& open) {
    std::string shown;
    OnNextModal<QDialog>([&shown](QDialog* d) {
      shown = d->objectName().toStdString();
      QTest::keyClick(d, Qt::Key_Escape);
    });
    open();
    return shown;
  }
  std::vector<std::string> RecentEntries() {
    std::vector<std::string> out;
    for (QAction* a : frame_->findChild<QMenu*>("mnuFile")->actions())
      if (a->objectName() == "mnuMRU") out.push_back(a->text().toStdString());
    return out;
  }
};

TEST_F(DialogWiring, MenusAndTheGridOpenTheRealDialogs) {
  Open();
  const std::string record = frm_.sQuirepaneAdvancedOptions;
  const std::vector<std::pair<std::function<void()>, std::string>> cases = {
      {[&] { Act("mnuOptions")->trigger(); }, "frmOptions"},
      {[&] { Act("mnuAbout")->trigger(); }, "frmAbout"},
      {[&] { Form().cmdPDFtoRTFAdvancedOptions_Click(); }, "frmQuirepaneAdvancedOptions"},
  };
  for (const auto& [open, name] : cases) EXPECT_EQ(ModalOf(open), name);
  EXPECT_EQ(frm_.sQuirepaneAdvancedOptions, record);  // Esc left the record
  EXPECT_FALSE(frm_.bCurrentActionItemDirty);
}

TEST_F(DialogWiring, OpenedAndSavedJobsComeFirstInTheFileMenuAndStay) {
  const std::string first = WriteJob({WriteImage("a.png")}, "first.ZOL");
  const std::string second = WriteJob({WriteImage("b.png")}, "R&D.ZOL");
  Open();
  EXPECT_TRUE(RecentEntries().empty());
  ASSERT_TRUE(frm_.ConversionJobOpen(first));
  ASSERT_TRUE(frm_.ConversionJobSaveAs(second));
  EXPECT_EQ(RecentEntries(), (std::vector<std::string>{"&1 " + second.substr(0, second.size() - 7) + "R&&D.ZOL",
                                                        "&2 " + first}));
  Form().Unload();
  Open();  // read back from the settings file
  ASSERT_EQ(RecentEntries().size(), 2u);
  // The second entry opens its job; a deleted one says so and stays listed.
  for (QAction* a : frame_->findChild<QMenu*>("mnuFile")->actions())
    if (a->property("Index").toInt() == 2) a->trigger();
  EXPECT_EQ(frm_.sCurrentJobFile, first);
  std::filesystem::remove(second);
  for (QAction* a : frame_->findChild<QMenu*>("mnuFile")->actions())
    if (a->property("Index").toInt() == 2) a->trigger();
  ASSERT_FALSE(ui_->boxes.empty());
  EXPECT_EQ(ui_->boxes.back(), second + " does not exist.");
  EXPECT_EQ(RecentEntries().size(), 2u);
}

TEST_F(DialogWiring, TheLanguageMenuSwitchesTheWindowToGermanAndBack) {
  WriteFile(dir_.path() / "data" / "Languages" / "German-Tessalumen.txt",
            ReadFile(std::string(TESSA_SOURCE_DIR) + "/data/Languages/German-Tessalumen.txt"));
  LanguageDialogChooser chooser;
  SetLanguageChooser(&chooser);
  auto choose = [&](const QString& language) {
    Open();
    OnNextModal<frmLanguage>([language](frmLanguage* d) {
      auto* list = d->findChild<QListWidget*>("List1");
      list->setCurrentItem(list->findItems(language, Qt::MatchExactly).value(0));
      QTest::mouseClick(d->findChild<QPushButton*>("cmdDone"), Qt::LeftButton);
    });
    Act("mnuLanguage")->trigger();
    EXPECT_EQ(ui_->boxes.size(), 1u);  // the restart notice
    Form().Unload();
    InitializeTranslator();
    Open();
    return Act("mnuOptions")->text().toStdString();
  };
  EXPECT_EQ(choose("German"), "Optionen");
  EXPECT_EQ(choose("English"), "Options");
  SetLanguageChooser(nullptr);
  ResetTranslator();
}

}  // namespace
}  // namespace tessa::test
