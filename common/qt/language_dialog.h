// The language chooser: the user picks the interface language among the
// installed language files and English, may pick a font for it, and may
// open the chosen language file in a text editor to translate it.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "common/translator.h"

class QListWidget;
class QPushButton;

namespace tessa {

class frmLanguage : public QDialog {
  Q_OBJECT

 public:
  explicit frmLanguage(QWidget* parent = nullptr);

  // Lists English and languages, and selects current.
  void FillList(const std::vector<std::string>& languages, const std::string& current);

  // The answers, read after exec: the language chosen ("" when cancelled)
  // and the font chosen ("" for none).
  std::string Language;
  std::string sFontName;

  void cmdDone_Click();
  void cmdCancel_Click();
  void cmdSelectFont_Click();
  void cmdEditLanguageFile_Click();
  void cmdHelpLanguage_Click();

 protected:
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void List1_Click();
  QListWidget* List1_;
  QPushButton* cmdEditLanguageFile_;
  QPushButton* cmdSelectFont_;
};

// The chooser the translator shows: frmLanguage, modal. Without a graphical
// application (ready() false) a choice counts as cancelled.
class LanguageDialogChooser : public LanguageChooser {
 public:
  explicit LanguageDialogChooser(std::function<bool()> ready = {}) : ready_(std::move(ready)) {}
  void Choose(const std::vector<std::string>& languages, const std::string& current, std::string& language,
              std::string& fontName) override;

 private:
  std::function<bool()> ready_;
};

}  // namespace tessa
