// The main window's menus open the real dialogs, remember recent job files
// and switch the interface language.
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
  std::map<int, QAction*> Recent() {  // the File menu's recent jobs by index
    std::map<int, QAction*> out;
    for (QAction* a : frame_->findChild<QMenu*>("mnuFile")->actions())
      if (a->objectName() == "mnuMRU") out[a->property("Index").toInt()] = a;
    return out;
  }
};

TEST_F(DialogWiring, MenusAndTheGridOpenTheRealDialogs) {
  Open();
  const std::string record = frm_.sQuirepaneAdvancedOptions;
  const std::vector<std::pair<std::function<void()>, QString>> cases = {
      {[&] { Act("mnuOptions")->trigger(); }, "frmOptions"},
      {[&] { Act("mnuAbout")->trigger(); }, "frmAbout"},
      {[&] { Form().cmdPDFtoRTFAdvancedOptions_Click(); }, "frmQuirepaneAdvancedOptions"}};
  for (const auto& [open, name] : cases) {
    QString shown;
    OnNextModal<QDialog>([&shown](QDialog* d) { shown = d->objectName(), QTest::keyClick(d, Qt::Key_Escape); });
    open();
    EXPECT_EQ(shown, name);
  }
  EXPECT_EQ(frm_.sQuirepaneAdvancedOptions, record);  // Esc left the record
}

TEST_F(DialogWiring, OpenedAndSavedJobsComeFirstInTheFileMenuAndStay) {
  const std::string first = WriteJob({WriteImage("a.png")}, "first.ZOL");
  const std::string second = dir_.file("R&D.ZOL");
  Open();
  ASSERT_TRUE(frm_.ConversionJobOpen(first) && frm_.ConversionJobSaveAs(second));
  ASSERT_EQ(Recent().size(), 2u);
  EXPECT_EQ(Recent()[1]->text().toStdString() + Recent()[2]->text().toStdString(),
            "&1 " + dir_.file("R&&D.ZOL") + "&2 " + first);
  Form().Unload();
  Open();  // read back from the settings file
  std::filesystem::remove(first);
  Recent()[2]->trigger();  // a deleted job says so and stays listed
  EXPECT_EQ(ui_->boxes, (std::vector<std::string>{first + " does not exist."}));
  Recent()[1]->trigger();
  EXPECT_EQ(frm_.sCurrentJobFile, second);
  EXPECT_EQ(Recent().size(), 2u);
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
    InitializeTranslator();
    Open();
    return Act("mnuOptions")->text().toStdString();
  };
  EXPECT_EQ(choose("German"), "Optionen");
  EXPECT_EQ(choose("English"), "Options");
  SetLanguageChooser(nullptr), ResetTranslator();
}

}  // namespace
}  // namespace tessa::test
