#include "common/qt/language_dialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "common/settings_file.h"
#include "platform/ini_file.h"
#include "support/modal_driver.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::OnNextModal;

// A data folder with the shipped German file, a settings file without a
// language, and the dialog as the translator's chooser.
class LanguageDialogTest : public ::testing::Test {
 protected:
  LanguageDialogTest() {
    test::QtApp();
    ResetTranslator();
    sDataFolder = dir_.path().string() + "/";
    sIniFile = dir_.file("settings.INI");
    german_ = test::WriteFile(dir_.path() / "Languages" / "German-Tessalumen.txt",
                              test::ReadFile(std::string(TESSA_SOURCE_DIR) + "/data/Languages/German-Tessalumen.txt"));
    SetLanguageChooser(&chooser_);
  }
  ~LanguageDialogTest() override {
    SetLanguageChooser(nullptr);
    ResetTranslator();
    sDataFolder.clear();
    sIniFile.clear();
  }
  // Picks language in the next chooser and presses the button named button.
  void Pick(const QString& language, const char* button) {
    OnNextModal<frmLanguage>([language, button](frmLanguage* d) {
      auto* list = d->findChild<QListWidget*>("List1");
      const auto found = list->findItems(language, Qt::MatchExactly);
      if (!found.isEmpty()) list->setCurrentItem(found.first());
      if (button) QTest::mouseClick(d->findChild<QPushButton*>(button), Qt::LeftButton);
      else QTest::keyClick(d, Qt::Key_Escape);
    });
  }
  test::TempDir dir_;
  test::ScriptedUserInterface ui_;
  test::ScopedEnv locale_{"LC_ALL", "de_DE.UTF-8"};
  LanguageDialogChooser chooser_;
  std::string german_;
};

TEST_F(LanguageDialogTest, SwitchesAWindowToGermanAndBack) {
  const std::string shipped = test::ReadFile(german_);
  // First start in a German locale: the chooser asks, and German is taken at once.
  Pick("German", "cmdDone");
  InitializeTranslator();
  EXPECT_EQ(sLanguage, "German");
  EXPECT_EQ(ReadIniString(sIniFile, "Language", "Language_Code", ""), "German");
  {
    frmLanguage window;
    EXPECT_EQ(window.windowTitle(), "Sprache");
    EXPECT_EQ(window.findChild<QPushButton*>("cmdDone")->text(), "&Fertig");
  }
  // Back to English from the menu: stored, noted for the next start.
  Pick("English", "cmdDone");
  bool notice = true;
  EXPECT_TRUE(SelectLanguage(notice));
  EXPECT_EQ(ReadIniString(sIniFile, "Language", "Language_Code", ""), "English");
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].prompt, "Ihre Änderungen werden wirksam beim nächsten Start von Tessalumen");
  EXPECT_EQ(sLanguage, "German");
  InitializeTranslator();
  frmLanguage window;
  EXPECT_EQ(window.windowTitle(), "Language");
  EXPECT_EQ(test::ReadFile(german_), shipped);  // every text of the chooser was in the file
}

TEST_F(LanguageDialogTest, EscChangesNothingAndEnglishCannotBeEdited) {
  WriteIniString(sIniFile, "Language", "Language_Code", "English");
  InitializeTranslator();
  Pick("German", nullptr);
  bool notice = true;
  EXPECT_FALSE(SelectLanguage(notice));
  EXPECT_EQ(ReadIniString(sIniFile, "Language", "Language_Code", ""), "English");

  frmLanguage window;
  window.FillList(FillLanguageList(), "English");
  auto* edit = window.findChild<QPushButton*>("cmdEditLanguageFile");
  auto* list = window.findChild<QListWidget*>("List1");
  EXPECT_EQ(list->count(), 2);  // English always, and German
  EXPECT_FALSE(edit->isEnabled());
  list->setCurrentItem(list->findItems("German", Qt::MatchExactly).first());
  EXPECT_TRUE(edit->isEnabled());
}

}  // namespace
}  // namespace tessa
