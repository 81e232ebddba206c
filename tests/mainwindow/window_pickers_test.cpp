// The window's file and folder pickers: the editor panel's five buttons and
// the job dialogs start in the nearest existing folder, expand path macros,
// take names that do not exist yet, and save a job under the filter's
// extension.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include "window_fixture.h"

namespace tessa::test {
namespace {

class WindowPickers : public WindowTest {
 protected:
  // Answers the next picker: notes the folder it starts in, types name (none
  // for a folder) once that folder has loaded, and presses the dialog's own
  // accept. A box the dialog raises instead (such as "file not found") is
  // closed and counts as a refusal, and the picker is cancelled.
  void Answer(const QString& name) {
    started.clear(), refused = false;
    OnNextModal<QFileDialog>([this, name](QFileDialog* d) {
      started = d->directory().absolutePath().toStdString();
      for (int i = 0; i < 300 && !name.isEmpty() && QFileInfo(d->selectedFiles().value(0)).fileName() != name; ++i) {
        d->findChild<QLineEdit*>("fileNameEdit")->setText(name);
        QTest::qWait(10);
      }
      QDir().mkpath(TESSA_BINARY_DIR "/screenshots");
      d->grab().save(QStringLiteral(TESSA_BINARY_DIR "/screenshots/picker-%1.png").arg(d->windowTitle()));
      OnNextModal<QMessageBox>([this](QMessageBox* box) { refused = true, box->reject(); }, 100);
      static_cast<QDialog*>(d)->accept();  // the dialog's own checks run
      if (d->isVisible()) d->reject();
    });
  }
  std::string Field(const char* combo) {
    return Form().findChild<QComboBox*>(combo)->currentText().toStdString();
  }
  std::string started;
  bool refused = false;
};

TEST_F(WindowPickers, EveryPickerStartsNearTheFieldExpandsMacrosAndTakesNewNames) {
  std::filesystem::create_directories(dir_.path() / "Pictures");
  const std::string root = dir_.path().string();  // also the home folder
  Open();
  const struct {
    const char* button;
    const char* field;
    std::string text;  // the field's text before the click
    std::string start;
    QString typed;
    std::string result;
  } cases[] = {
      {"cmdSelectSourceFile", "cbOriginalFile", root + "/gone/deeper/a.png", root, "new.png", root + "/new.png"},
      {"cmdSelectTargetFile", "cbTargetFile", "%USERPROFILE%/gone/out.pdf", root, "new.pdf", root + "/new.pdf"},
      {"cmdSelectSourceFolder", "cbOriginalFile", "%USERPROFILE%/Pictures", root + "/Pictures", "",
       root + "/Pictures/*.png"},
      {"cmdSelectTargetFolder", "cbTargetFile", root + "/gone/x.pdf", root, "", root + "/*.PDF"},
      {"cmdCommandLineSelectApplication", "cbCommandLine", root + "/Pictures/gone/tool", root + "/Pictures",
       "new-tool", root + "/Pictures/new-tool"},
  };
  for (const auto& c : cases) {
    Form().findChild<QComboBox*>(c.field)->setEditText(QString::fromStdString(c.text));
    Answer(c.typed);
    Form().findChild<QAbstractButton*>(c.button)->click();
    EXPECT_EQ(started, c.start) << c.button;
    EXPECT_FALSE(refused) << c.button;
    EXPECT_EQ(Field(c.field), c.result) << c.button;
  }
}

TEST_F(WindowPickers, JobsAreSavedUnderTheFilterExtensionAndAMissingJobIsTheLoadersToReport) {
  const std::string job = WriteJob({WriteImage("a.png")});
  Open();
  ASSERT_TRUE(frm_.ConversionJobOpen(job));
  Answer("myjob");
  Act("mnuSaveConversionJobAs")->trigger();
  EXPECT_EQ(started, dir_.path().string());
  EXPECT_EQ(frm_.sCurrentJobFile, dir_.file("myjob.ZOL"));
  EXPECT_TRUE(std::filesystem::exists(dir_.file("myjob.ZOL")));
  EXPECT_EQ(Form().windowTitle(), "myjob.ZOL");

  Answer("missing.ZOL");
  Act("mnuOpenConversionJob")->trigger();
  EXPECT_FALSE(refused);
  ASSERT_EQ(ui_->boxes.size(), 1u);
  EXPECT_EQ(ui_->boxes[0].rfind("ConversionJobOpen: Unable to open", 0), 0u) << ui_->boxes[0];
  EXPECT_EQ(frm_.sCurrentJobFile, dir_.file("myjob.ZOL"));
}

}  // namespace
}  // namespace tessa::test
