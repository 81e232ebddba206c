#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include "common/settings_file.h"
#include "common/translator.h"
#include "engine/main_form.h"
#include "mainwindow/qt/about_dialog.h"
#include "mainwindow/qt/advanced_options_dialog.h"
#include "mainwindow/qt/general_options_dialog.h"
#include "mainwindow/qt/prompt_dialog.h"
#include "mainwindow/qt/type_mismatch_dialog.h"
#include "platform/ini_file.h"
#include "support/modal_driver.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::OnNextModal;

template <typename T>
T* Child(QWidget* w, const char* name) {
  T* child = w->findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name;
  return child;
}

void Click(QWidget* w, const char* name) { QTest::mouseClick(Child<QAbstractButton>(w, name), Qt::LeftButton); }

class DialogsTest : public ::testing::Test {
 protected:
  DialogsTest() { test::QtApp(); }
  test::TempDir dir_;
  test::ScriptedUserInterface ui_;
  MainForm form_;
};

TEST_F(DialogsTest, AdvancedOptionsBuildTheirRecord) {
  const std::string in = "true^Ann^Cre^kw^subj^Title^3^2-4^";
  std::string record = in;
  OnNextModal<frmQuirepaneAdvancedOptions>([](frmQuirepaneAdvancedOptions* d) {
    EXPECT_TRUE(Child<QRadioButton>(d, "rbTiffCompressionMethod3")->isChecked());
    Child<QLineEdit>(d, "txtAuthor")->setText("A^n^n");
    Child<QLineEdit>(d, "txtTiffPagesToDo")->setText("^1,3");
    Child<QRadioButton>(d, "rbTiffCompressionMethod1")->setChecked(true);
    Child<QCheckBox>(d, "cbAppendToEnd")->setChecked(false);
    Click(d, "cmdDone");
    EXPECT_EQ(Child<QLineEdit>(d, "txtAuthor")->text(), "Ann");  // the box is cleaned too
  });
  EXPECT_EQ(ShowAdvancedOptions(nullptr, form_, record), QDialog::Accepted);
  EXPECT_EQ(record, "FALSE^Ann^Cre^kw^subj^Title^1^1,3^");

  // Done without changes gives a record of this dialog back as it was, and
  // one from elsewhere normalised.
  for (const auto& [given, back] : {std::pair{record, record}, std::pair{in, std::string("TRUE^Ann^Cre^kw^subj^Title^3^2-4^")}}) {
    std::string r = given;
    OnNextModal<frmQuirepaneAdvancedOptions>([](frmQuirepaneAdvancedOptions* d) { Click(d, "cmdDone"); });
    ShowAdvancedOptions(nullptr, form_, r);
    EXPECT_EQ(r, back);
  }
  // Esc and Cancel leave the record as it was.
  for (bool esc : {true, false}) {
    std::string r = in;
    OnNextModal<frmQuirepaneAdvancedOptions>([esc](frmQuirepaneAdvancedOptions* d) {
      Child<QLineEdit>(d, "txtTitle")->setText("changed");
      if (esc) QTest::keyClick(d, Qt::Key_Escape);
      else Click(d, "cmdCancel");
    });
    EXPECT_EQ(ShowAdvancedOptions(nullptr, form_, r), QDialog::Rejected);
    EXPECT_EQ(r, in);
  }
}

TEST_F(DialogsTest, GeneralOptionsExclusiveChoicesAndTheMoveFolder) {
  const std::string folder = dir_.path().string();
  form_.bDeleteOriginalFileAfterProcessing = true;
  form_.sMoveFileToFolder = folder + "/missing";
  frmOptions dialog(form_);
  auto* del = Child<QCheckBox>(&dialog, "cbDeleteAfterProcessing");
  auto* move = Child<QCheckBox>(&dialog, "cbMoveAfterProcessing");
  auto* text = Child<QLineEdit>(&dialog, "txtMoveToFolder");
  EXPECT_FALSE(text->isEnabled());  // move is off
  move->click();
  EXPECT_FALSE(del->isChecked());
  EXPECT_TRUE(text->isEnabled());
  del->click();
  EXPECT_FALSE(move->isChecked());
  EXPECT_FALSE(text->isEnabled());
  move->click();

  // A cancelled browse keeps the folder text.
  OnNextModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
  Click(&dialog, "cmdSelectMoveFolder");
  EXPECT_EQ(text->text().toStdString(), folder + "/missing");

  // A missing folder keeps the dialog open and the form unchanged.
  dialog.show();
  Click(&dialog, "cmdApply");
  ASSERT_EQ(ui_.boxes.size(), 1u);
  EXPECT_EQ(ui_.boxes[0].prompt, folder + "/missing\n\ndoes not exist.");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(form_.bDeleteOriginalFileAfterProcessing);
  EXPECT_FALSE(form_.bMoveOriginalFileAfterProcessing);

  text->setText("  " + QString::fromStdString(folder) + " ");
  Child<QLineEdit>(&dialog, "txtLogFile")->setText(" /logs/run.log ");
  Click(&dialog, "cmdApply");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(form_.bMoveOriginalFileAfterProcessing);
  EXPECT_FALSE(form_.bDeleteOriginalFileAfterProcessing);
  EXPECT_EQ(form_.sMoveFileToFolder, folder);
  EXPECT_EQ(form_.sLogFile, "/logs/run.log");
}

TEST_F(DialogsTest, GeneralOptionsEmptyFolderTurnsMoveOffAndEscWritesNothing) {
  form_.bMoveOriginalFileAfterProcessing = true;
  form_.sMoveFileToFolder = "   ";
  OnNextModal<frmOptions>([](frmOptions* d) {
    Child<QCheckBox>(d, "cbSkipProcessedFiles")->click();
    QTest::keyClick(d, Qt::Key_Escape);
  });
  EXPECT_EQ(ShowGeneralOptions(nullptr, form_), QDialog::Rejected);
  EXPECT_FALSE(form_.bSkipProcessedFiles);
  EXPECT_TRUE(form_.bMoveOriginalFileAfterProcessing);

  OnNextModal<frmOptions>([](frmOptions* d) { Click(d, "cmdApply"); });
  EXPECT_EQ(ShowGeneralOptions(nullptr, form_), QDialog::Accepted);
  EXPECT_FALSE(form_.bMoveOriginalFileAfterProcessing);
  EXPECT_EQ(form_.sMoveFileToFolder, "");
  EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(DialogsTest, TypeMismatchFlagsAndConsentPerShowing) {
  TypeMismatchNotice notice;
  OnNextModal<frmTypeMatchNotification>([](frmTypeMatchNotification* d) {
    Click(d, "chkDontShowAgain");
    Click(d, "chkDontShowAgain");  // twice: as before
    Click(d, "cmdContinue");
  });
  EXPECT_TRUE(ShowTypeMismatchNotice(nullptr, notice));
  EXPECT_FALSE(notice.bDontShowFileMismatchAgain);
  // Closed without an answer: the earlier Continue is no consent.
  OnNextModal<frmTypeMatchNotification>([](frmTypeMatchNotification* d) {
    Click(d, "chkDontShowAgain");
    d->close();
  });
  EXPECT_FALSE(ShowTypeMismatchNotice(nullptr, notice));
  EXPECT_TRUE(notice.bDontShowFileMismatchAgain);
}

TEST_F(DialogsTest, PromptFlagsStartClearEachShowing) {
  const struct {
    int clicks;
    bool esc;
    PromptAnswer expected;
  } cases[] = {{2, false, {true, true}}, {0, true, {false, false}}, {1, true, {true, false}}};
  frmPromptWithDisableOption prompt;
  for (const auto& c : cases) {
    OnNextModal<frmPromptWithDisableOption>([&c](frmPromptWithDisableOption* d) {
      for (int i = 0; i < c.clicks; ++i) Click(d, "chkDontShowAgain");
      if (c.esc) QTest::keyClick(d, Qt::Key_Escape);
      else Click(d, "cmdContinue");
    });
    prompt.exec();  // the same window again: its flags start clear
    EXPECT_EQ(prompt.bClickedCheckBox, c.expected.bClickedCheckBox);
    EXPECT_EQ(prompt.bClickedContinue, c.expected.bClickedContinue);
  }
  OnNextModal<frmPromptWithDisableOption>([](frmPromptWithDisableOption* d) {
    EXPECT_FALSE(Child<QPushButton>(d, "cmdCancel")->isVisible());
    Click(d, "chkDontShowAgain");
    Click(d, "cmdContinue");
  });
  EXPECT_TRUE(ShowChangeOptionsNotice(nullptr));
}

TEST_F(DialogsTest, AboutLogoOpensOnlyAnExistingSettingsFile) {
  sIniFile = dir_.file("gone.INI");
  frmAbout about;
  EXPECT_FALSE(about.picBrindlecoveLogo_DblClick());
  sIniFile.clear();
}

// The shipped German file knows every text these dialogs show: building
// them in German appends nothing to it.
TEST_F(DialogsTest, GermanCoversEveryDialogText) {
  ResetTranslator();
  sDataFolder = dir_.path().string() + "/";
  sIniFile = dir_.file("settings.INI");
  const std::string file = test::WriteFile(
      dir_.path() / "Languages" / "German-Tessalumen.txt",
      test::ReadFile(std::string(TESSA_SOURCE_DIR) + "/data/Languages/German-Tessalumen.txt"));
  const std::string shipped = test::ReadFile(file);
  WriteIniString(sIniFile, "Language", "Language_Code", "German");
  InitializeTranslator();
  {
    frmQuirepaneAdvancedOptions advanced(form_);
    frmOptions options(form_);
    frmPromptWithDisableOption prompt;
    frmAbout about;
    EXPECT_EQ(options.windowTitle(), "Optionen");
    EXPECT_EQ(Child<QCheckBox>(&advanced, "cbAppendToEnd")->text(), "Bild an das Ende der PDF-Datei anhängen (verketten)");
  }
  EXPECT_EQ(test::ReadFile(file), shipped);
  ResetTranslator();
  sDataFolder.clear();
  sIniFile.clear();
}

}  // namespace
}  // namespace tessa
