#include "common/qt/translate_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <cstdlib>

#include <gtest/gtest.h>

#include "common/settings_file.h"
#include "common/translator.h"
#include "platform/ini_file.h"
#include "support/modal_driver.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

QApplication& App() { return test::QtApp(); }

class TranslateFormTest : public ::testing::Test {
 protected:
  TranslateFormTest() {
    App();
    ResetTranslator();
    sDataFolder = dir_.path().string() + "/";
    sIniFile = dir_.file("settings.INI");
    file_ = WriteFile(dir_.path() / "Languages" / "French-Tessalumen.txt",
                      "\"Options\",\"Options FR\"\r\n"
                      "\"&File\",\"&Fichier\"\r\n"
                      "\"&Open\",\"&Ouvrir\"\r\n"
                      "\"Cancel\",\"Annuler\"\r\n"
                      "\"Close the window\",\"Fermer la fenetre\"\r\n"
                      "\"Name:\",\"Nom :\"\r\n"
                      "\"General\",\"General FR\"\r\n"
                      "\"Recurse\",\"Recursif\"\r\n");
    original_ = ReadFile(file_);
    WriteIniString(sIniFile, "Language", "Language_Code", "French");
    InitializeTranslator();
  }
  ~TranslateFormTest() override {
    ResetTranslator();
    sDataFolder.clear();
    sIniFile.clear();
  }
  TempDir dir_;
  std::string file_, original_;
};

TEST_F(TranslateFormTest, TranslatesTitlesTextsMenusAndTipsOnce) {
  QMainWindow window;
  window.setWindowTitle("Options");
  QMenu* fileMenu = window.menuBar()->addMenu("&File");
  QAction* open = fileMenu->addAction("&Open");
  fileMenu->addSeparator();
  QToolBar* bar = window.addToolBar("Main");
  bar->addAction(open);  // the same action on the tool bar
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  auto* label = new QLabel("Name:");
  auto* fixed = new QLabel("Name:");
  fixed->setProperty("tag", "TranslateFalse");
  auto* cancel = new QPushButton("Cancel");
  cancel->setToolTip("Close the window");
  auto* check = new QCheckBox("Recurse");
  auto* edit = new QLineEdit("Name:");
  auto* tabs = new QTabWidget;
  tabs->addTab(new QWidget, "General");
  for (QWidget* w : std::initializer_list<QWidget*>{label, fixed, cancel, check, edit, tabs}) layout->addWidget(w);
  window.setCentralWidget(central);

  TranslateForm(&window);
  EXPECT_EQ(window.windowTitle(), "Options FR");
  EXPECT_EQ(fileMenu->title(), "&Fichier");
  EXPECT_EQ(open->text(), "&Ouvrir");
  EXPECT_EQ(label->text(), "Nom :");
  EXPECT_EQ(fixed->text(), "Name:");
  EXPECT_EQ(cancel->text(), "Annuler");
  EXPECT_EQ(cancel->toolTip(), "Fermer la fenetre");
  EXPECT_EQ(check->text(), "Recursif");
  EXPECT_EQ(edit->text(), "Nom :");
  EXPECT_EQ(tabs->tabText(0), "General FR");
  // Every text was known: nothing (no translation either) was appended.
  EXPECT_EQ(ReadFile(file_), original_);
}

TEST_F(TranslateFormTest, AnActionWithoutATipOfItsOwnGetsNone) {
  WriteFile(file_, original_ + "\"&Save As...\",\"&Enregistrer sous...\"\r\n");
  InitializeTranslator();
  const std::string before = ReadFile(file_);
  QMainWindow window;
  QMenu* menu = window.menuBar()->addMenu("&File");
  QAction* saveAs = menu->addAction("&Save As...");
  QAction* close = menu->addAction("&Open");
  close->setToolTip("Close the window");
  TranslateForm(&window);
  EXPECT_EQ(close->toolTip(), "Fermer la fenetre");  // a tip of its own is translated
  EXPECT_EQ(saveAs->text(), "&Enregistrer sous...");
  EXPECT_EQ(saveAs->toolTip(), "Enregistrer sous");  // follows the translated text
  EXPECT_EQ(ReadFile(file_), before);
}

TEST_F(TranslateFormTest, AppliesTheLanguageFont) {
  sLanguageFont = "DejaVu Sans";
  QWidget form;
  auto* label = new QLabel("Name:", &form);
  TranslateForm(&form);
  EXPECT_EQ(GetControlFontName(label), "DejaVu Sans");
  EXPECT_EQ(GetControlFontName(nullptr), "ERROR");
}

}  // namespace
}  // namespace tessa
