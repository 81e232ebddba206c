// Draws every dialog into PNG files, in English, German and French, so that a
// person can check that nothing is cut off: dialog_screenshots <folder>
// (run under QT_QPA_PLATFORM=offscreen or xvfb-run).
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "common/qt/language_dialog.h"
#include "common/settings_file.h"
#include "common/translator.h"
#include "engine/main_form.h"
#include "mainwindow/qt/about_dialog.h"
#include "mainwindow/qt/advanced_options_dialog.h"
#include "mainwindow/qt/general_options_dialog.h"
#include "mainwindow/qt/please_wait_splash.h"
#include "mainwindow/qt/prompt_dialog.h"
#include "mainwindow/qt/type_mismatch_dialog.h"
#include "platform/ini_file.h"

namespace fs = std::filesystem;

namespace {

void Grab(QWidget* w, const fs::path& file) {
  w->adjustSize();
  w->show();
  QApplication::processEvents();
  w->grab().save(QString::fromStdString(file.string()));
  w->hide();
  std::printf("%s %dx%d\n", file.c_str(), w->width(), w->height());
}

void Shoot(const fs::path& out, const std::string& lang) {
  tessa::MainForm form;
  form.bMoveOriginalFileAfterProcessing = true;
  form.sMoveFileToFolder = "/home/user/Processed";
  form.sLogFile = "/home/user/Reports/Report.TXT";
  tessa::TypeMismatchNotice notice;
  {
    tessa::frmQuirepaneAdvancedOptions d(form);
    d.sDataTransfer = "TRUE^Jane Doe^Scanner^invoice, 2024^Invoices^March invoices^1^1,3-5^";
    d.Setup();
    Grab(&d, out / (lang + "-advanced-options.png"));
  }
  { tessa::frmOptions d(form); Grab(&d, out / (lang + "-general-options.png")); }
  { tessa::frmTypeMatchNotification d(notice); Grab(&d, out / (lang + "-type-mismatch.png")); }
  {
    tessa::frmPromptWithDisableOption d;
    d.setWindowTitle(QString::fromStdString(tessa::Translate("Change Options")));
    d.SetNotification(tessa::Translate("Please change any options you want here. After closing the program, all "
                                       "changes you've made will be used within Windows Explorer."));
    Grab(&d, out / (lang + "-prompt.png"));
  }
  { tessa::frmAbout d; Grab(&d, out / (lang + "-about.png")); }
  {
    tessa::frmLanguage d;
    d.FillList(tessa::FillLanguageList(), tessa::sLanguage);
    Grab(&d, out / (lang + "-language.png"));
  }
  {
    auto splash = tessa::ShowStartupSplash();
    Grab(splash.get(), out / (lang + "-splash.png"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: dialog_screenshots <folder>\n");
    return 2;
  }
  QApplication app(argc, argv);
  const fs::path out = argv[1];
  fs::create_directories(out);
  const fs::path work = fs::temp_directory_path() / ("tessa-shots-" + std::to_string(::getpid()));
  fs::create_directories(work / "Languages");
  fs::copy_file(fs::path(TESSA_SOURCE_DIR) / "data/Languages/German-Tessalumen.txt",
                work / "Languages/German-Tessalumen.txt", fs::copy_options::overwrite_existing);
  fs::copy_file(fs::path(TESSA_SOURCE_DIR) / "data/Languages/French-Tessalumen.txt",
                work / "Languages/French-Tessalumen.txt", fs::copy_options::overwrite_existing);
  tessa::sDataFolder = work.string() + "/";
  tessa::sIniFile = (work / "settings.INI").string();
  for (const std::string lang : {"English", "German", "French"}) {
    tessa::WriteIniString(tessa::sIniFile, "Language", "Language_Code", lang);
    tessa::InitializeTranslator();
    Shoot(out, lang);
  }
  fs::remove_all(work);
  return 0;
}
