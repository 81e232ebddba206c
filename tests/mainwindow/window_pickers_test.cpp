// The window's pickers and its start in each language offered.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "common/qt/language_dialog.h"
#include "common/qt/message_box.h"
#include "common/qt/qt_translation.h"
#include "common/translator.h"
#include "mainwindow/qt/about_dialog.h"
#include "mainwindow/qt/advanced_options_dialog.h"
#include "mainwindow/qt/general_options_dialog.h"
#include "mainwindow/qt/prompt_dialog.h"
#include "mainwindow/qt/status_panels.h"
#include "window_fixture.h"

namespace tessa::test {
namespace {

class WindowSeams : public WindowTest {
 protected:
  // Answers the next picker with name (none: the folder) through its own
  // accept; a box it raises instead ("file not found") counts as refused.
  void Answer(const QString& name) {
    OnNextModal<QFileDialog>([this, name](QFileDialog* d) {
      started = d->directory().absolutePath().toStdString();
      for (int i = 0; i < 300 && !name.isEmpty() && QFileInfo(d->selectedFiles().value(0)).fileName() != name; ++i)
        d->findChild<QLineEdit*>("fileNameEdit")->setText(name), QTest::qWait(10);
      OnNextModal<QMessageBox>([this, picker = QPointer<QFileDialog>(d)](QMessageBox* box) {
        if (picker && box->parentWidget() == picker) refused = true, box->reject();
      }, 100);
      static_cast<QDialog*>(d)->accept();
      if (d->isVisible()) d->reject();
    });
  }
  std::string started;
  bool refused = false;
};

TEST_F(WindowSeams, PickersStartNearTheFieldExpandMacrosTakeNewNamesAndSaveJobsAsZol) {
  std::filesystem::create_directories(dir_.path() / "Pictures");
  const std::string root = dir_.path().string();  // also the home folder
  Open();
  auto* input = Form().findChild<QComboBox*>("cbOriginalFile");
  const std::tuple<const char*, std::string, QString, std::string> cases[] = {
      {"cmdSelectSourceFile", root + "/gone/deeper/a.png", "new.png", root + "/new.png"},
      {"cmdSelectSourceFolder", "%USERPROFILE%/Pictures", "", root + "/Pictures/*.png"}};
  for (const auto& [button, text, typed, result] : cases) {
    input->setEditText(QString::fromStdString(text));
    Answer(typed);
    Form().findChild<QAbstractButton*>(button)->click();
    EXPECT_EQ(started, result.substr(0, result.rfind('/'))) << button;
    EXPECT_EQ(input->currentText().toStdString(), result) << button;
  }
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob({WriteImage("a.png")})));
  Answer("myjob");
  Act("mnuSaveConversionJobAs")->trigger();
  EXPECT_TRUE(std::filesystem::exists(dir_.file("myjob.ZOL")));
  EXPECT_EQ(Form().windowTitle(), "myjob.ZOL");
  Answer("missing.ZOL");  // the job loader, not the picker, reports it
  Act("mnuOpenConversionJob")->trigger();
  ASSERT_EQ(ui_->boxes.size(), 1u);
  EXPECT_EQ(ui_->boxes[0].rfind("ConversionJobOpen: Unable to open", 0), 0u);
  EXPECT_FALSE(refused);
}

TEST_F(WindowSeams, TheLogSavedAsAJobKeepsTheTasksOptionsAndLeavesOutTheRowOfANameWithATab) {
  Open();
  for (const char* bad : {"in/b.png", "in/t\tb.png"}) WriteFile(dir_.path() / bad, "not a picture");
  const std::string task = "M\tTRUE^^^^^Combined^0^*^\t1\tC\t" + dir_.file("in/"), pdf = "\t13\tpng\t" + dir_.file("all.pdf");
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteFile(dir_.path() / "j.ZOL", task + "*.png" + pdf)));
  Act("keyConvert")->trigger();
  Answer("failed");
  Act("mnuSaveLogAsConversionJob")->trigger();
  EXPECT_EQ(ReadFile(dir_.file("failed.ZOL")), task + "b.png" + pdf + "\t\r\n");
}

// Each language offered: every text the window, its dialogs and the scheduler
// show has its translation, and a long name stays inside its status panel.
struct Offered {
  std::string language, panelTexts;
  QString qtFile, cancel;
};
void PrintTo(const Offered& o, std::ostream* os) { *os << o.language; }
class LanguageStart : public WindowSeams, public ::testing::WithParamInterface<Offered> {};

TEST_P(LanguageStart, TranslatesEveryPartAppendsNothingAndKeepsALongNameInItsPanel) {
  const std::string name = "/data/Languages/" + GetParam().language + "-Tessalumen.txt";
  const std::string file = WriteFile(dir_.path().string() + name, ReadFile(std::string(TESSA_SOURCE_DIR) + name));
  const std::string shipped = ReadFile(file);
  WriteIniString(sIniFile, "Language", "Language_Code", GetParam().language);
  InitializeTranslator();
  Open();
  std::string texts;
  for (const QLabel* l : Form().findChild<QWidget*>("frameSpecializedAction")->findChildren<QLabel*>())
    texts += l->text().toStdString() + ",";
  OnNextModal<QDialog>([&](QDialog* d) {
    texts += d->findChild<QPushButton*>("cmdDone")->text().toStdString();
    QTest::keyClick(d, Qt::Key_Escape);
  });
  Act("mnuScheduleConversionJob")->trigger();
  EXPECT_EQ(texts, GetParam().panelTexts);
  { frmQuirepaneAdvancedOptions a(frm_); frmOptions o(frm_); frmPromptWithDisableOption p; frmAbout b; frmLanguage l; }
  QString cancel;  // Qt's own buttons, where Qt's translation is installed
  OnNextModal<QMessageBox>([&](QMessageBox* box) { cancel = box->button(QMessageBox::Cancel)->text(), box->reject(); });
  ShowMessageBox(frame_.get(), "?", vbOKCancel, "");
  if (QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).exists(GetParam().qtFile)) {
    EXPECT_EQ(cancel, GetParam().cancel);
  }
  const std::string longName = "/home/user/" + std::string(300, 'x') + "/scan 0001.png";
  ui_->SetStatusPanel(8, longName);
  QLabel& panel = *StatusPanels::Of(*frame_)->Panel(8);
  const QString shown = StatusPanels::Shown(panel);
  EXPECT_TRUE(shown.startsWith("/home/user/xx") && shown.endsWith("x/scan 0001.png")) << shown.toStdString();
  EXPECT_LE(panel.fontMetrics().horizontalAdvance(shown), panel.contentsRect().width());
  {
    QLabel painted(shown, panel.parentWidget());  // what the panel paints
    painted.setGeometry(panel.geometry()), painted.setContentsMargins(panel.contentsMargins());
    EXPECT_EQ(panel.grab().toImage(), painted.grab().toImage());
  }
  frame_.reset();
  const std::string now = ReadFile(file);
  EXPECT_TRUE(now == shipped) << "appended:\n" << now.substr(std::min(now.size(), shipped.size()));
  ResetTranslator(), UseQtTranslation("English");
}
INSTANTIATE_TEST_SUITE_P(
    Offered, LanguageStart,
    ::testing::Values(
        Offered{"German", "Sonderverarbeitung,Programm,Argumente,Fenster,Priorität,Warten (Sekunden),&Fertig",
                "qtbase_de.qm", "Abbrechen"},
        Offered{"French", "Traitement spécial,Programme,Arguments,Fenêtre,Priorité,Attente (secondes),&Terminé",
                "qtbase_fr.qm", "Annuler"}));

}  // namespace
}  // namespace tessa::test
