#include "common/qt/language_dialog.h"

#include <QApplication>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/help_launcher.h"
#include "common/qt/pickers.h"
#include "common/qt/translate_form.h"
#include "platform/shell_open.h"

namespace tessa {

namespace {

constexpr const char* kEnglish = "English";

QPushButton* Button(const char* name, const char* text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

frmLanguage::frmLanguage(QWidget* parent) : QDialog(parent) {
  setObjectName("frmLanguage");
  setWindowTitle("Language");
  setModal(true);
  auto* label = new QLabel("Select a Language:", this);
  label->setObjectName("Label1");
  List1_ = new QListWidget(this);
  List1_->setObjectName("List1");
  label->setBuddy(List1_);
  auto* cmdDone = Button("cmdDone", "&Done", this);
  cmdDone->setDefault(true);
  auto* cmdCancel = Button("cmdCancel", "&Cancel", this);
  cmdSelectFont_ = Button("cmdSelectFont", "&Font", this);
  cmdEditLanguageFile_ = Button("cmdEditLanguageFile", "&Edit Language", this);
  auto* cmdHelpLanguage = Button("cmdHelpLanguage", "&Help", this);

  // The list on the left, the buttons in a column on the right.
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {cmdDone, cmdCancel, cmdSelectFont_, cmdEditLanguageFile_, cmdHelpLanguage})
    buttons->addWidget(b);
  buttons->addStretch();
  auto* left = new QVBoxLayout;
  left->addWidget(label);
  left->addWidget(List1_, 1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);

  connect(List1_, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
  connect(List1_, &QListWidget::itemDoubleClicked, this, [this] { cmdDone_Click(); });
  connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  connect(cmdSelectFont_, &QPushButton::clicked, this, [this] { cmdSelectFont_Click(); });
  connect(cmdEditLanguageFile_, &QPushButton::clicked, this, [this] { cmdEditLanguageFile_Click(); });
  connect(cmdHelpLanguage, &QPushButton::clicked, this, [this] { cmdHelpLanguage_Click(); });

  TranslateForm(this);
  resize(sizeHint().expandedTo(QSize(320, 220)));
  CenterFormInWorkArea(this);
}

void frmLanguage::FillList(const std::vector<std::string>& languages, const std::string& current) {
  List1_->clear();
  std::vector<std::string> names = languages;
  if (std::find(names.begin(), names.end(), kEnglish) == names.end()) names.insert(names.begin(), kEnglish);
  for (const std::string& name : names) List1_->addItem(QString::fromStdString(name));
  const auto found = std::find(names.begin(), names.end(), current);
  if (found != names.end()) List1_->setCurrentRow(static_cast<int>(found - names.begin()));
  cmdEditLanguageFile_->setEnabled(current != kEnglish && found != names.end());
}

void frmLanguage::List1_Click() {
  const QListWidgetItem* item = List1_->currentItem();
  cmdEditLanguageFile_->setEnabled(item && item->text() != kEnglish);
}

void frmLanguage::cmdDone_Click() {
  if (const QListWidgetItem* item = List1_->currentItem(); item && item->isSelected())
    Language = item->text().toStdString();
  accept();
}

void frmLanguage::cmdCancel_Click() {
  Language.clear();
  sFontName.clear();
  QDialog::reject();
}

void frmLanguage::reject() { cmdCancel_Click(); }

void frmLanguage::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    cmdHelpLanguage_Click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void frmLanguage::cmdSelectFont_Click() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, cmdSelectFont_->font(), this);
  if (ok) sFontName = font.family().toStdString();
}

void frmLanguage::cmdEditLanguageFile_Click() {
  const QListWidgetItem* item = List1_->currentItem();
  if (!item || item->text() == kEnglish) return;
  ShellOpen(GetLanguageFilePath(item->text().toStdString()));
}

void frmLanguage::cmdHelpLanguage_Click() { ShowHelpTopic(kHelpLanguages, HelpAddress("Languages")); }

void LanguageDialogChooser::Choose(const std::vector<std::string>& languages, const std::string& current,
                                   std::string& language, std::string& fontName) {
  language.clear();
  fontName.clear();
  if (ready_ && !ready_()) return;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  frmLanguage dialog(QApplication::activeWindow());
  dialog.FillList(languages, current);
  dialog.exec();
  language = dialog.Language;
  fontName = dialog.sFontName;
}

}  // namespace tessa
