// The window in German: every part is translated, Qt's own buttons too, and
// the shipped language file holds every text, so a start appends nothing.
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "common/qt/message_box.h"
#include "common/qt/qt_translation.h"
#include "common/translator.h"
#include "platform/user_interface.h"
#include "window_fixture.h"

namespace tessa::test {
namespace {

class GermanWindow : public WindowTest {
 protected:
  ~GermanWindow() override {
    frame_.reset();
    ResetTranslator();
    UseQtTranslation("English");
  }
  void Shot(QWidget* w, const char* name) {
    const QString folder = QStringLiteral(TESSA_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(w->grab().save(folder + "/" + name));
  }
};

TEST_F(GermanWindow, AStartTranslatesEveryPartAndLeavesTheShippedLanguageFileAsItWas) {
  const std::string file =
      WriteFile(dir_.path() / "data" / "Languages" / "German-Tessalumen.txt",
                ReadFile(std::string(TESSA_SOURCE_DIR) + "/data/Languages/German-Tessalumen.txt"));
  const std::string shipped = ReadFile(file);
  WriteIniString(sIniFile, "Language", "Language_Code", "German");
  InitializeTranslator();
  Open();
  Form().findChild<QRadioButton*>("rbActionToDo_1")->click();
  std::vector<std::string> labels;
  for (const QLabel* l : Form().findChild<QWidget*>("frameSpecializedAction")->findChildren<QLabel*>())
    labels.push_back(l->text().toStdString());
  EXPECT_EQ(labels, (std::vector<std::string>{"Sonderverarbeitung", "Programm", "Argumente", "Fenster", "Priorität",
                                              "Warten (Sekunden)"}));
  Shot(frame_.get(), "German-special-process.png");

  std::string scheduler;
  OnNextModal<QDialog>([&](QDialog* d) {
    scheduler = d->findChild<QPushButton*>("cmdDone")->text().toStdString();
    Shot(d, "German-scheduler.png");
    QTest::keyClick(d, Qt::Key_Escape);
  });
  Act("mnuScheduleConversionJob")->trigger();
  EXPECT_EQ(scheduler, "&Fertig");

  std::string picker;
  OnNextModal<QFileDialog>([&](QFileDialog* d) {
    picker = d->windowTitle().toStdString();
    Shot(d, "German-picker.png");
    d->reject();
  });
  Act("mnuOpenConversionJob")->trigger();
  EXPECT_EQ(picker, "Konvertierungsauftrag öffnen");

  // Qt's own buttons, where Qt's translation is installed.
  std::vector<std::string> buttons;
  OnNextModal<QMessageBox>([&](QMessageBox* box) {
    for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
      buttons.push_back(box->button(b)->text().toStdString());
    box->reject();
  });
  ShowMessageBox(frame_.get(), "?", vbYesNoCancel, "");
  if (QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).exists("qtbase_de.qm"))
    EXPECT_EQ(buttons, (std::vector<std::string>{"&Ja", "&Nein", "Abbrechen"}));

  frame_.reset();
  const std::string now = ReadFile(file);
  EXPECT_TRUE(now == shipped) << "appended:\n" << now.substr(std::min(now.size(), shipped.size()));
}

}  // namespace
}  // namespace tessa::test
