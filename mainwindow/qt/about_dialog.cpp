#include "mainwindow/qt/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/file_helpers.h"
#include "common/qt/translate_form.h"
#include "common/settings_file.h"
#include "common/translator.h"
#include "engine/program/program_version.h"
#include "mainwindow/qt/brand_logo.h"
#include "platform/shell_open.h"

namespace tessa {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("frmAbout");
  setWindowTitle("About");
  setModal(true);
  auto* logo = new BrandLogo(this);
  logo->setObjectName("picBrindlecoveLogo");
  auto* name = new QLabel("Tessaprint", this);
  name->setObjectName("lblProduct");
  name->setProperty("tag", "TranslateFalse");
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  name->setFont(big);
  auto* version = new QLabel(QString("%1 %2.%3.%4")
                                 .arg("Version")
                                 .arg(kProgramVersionMajor)
                                 .arg(kProgramVersionMinor)
                                 .arg(kProgramVersionRevision),
                             this);
  version->setObjectName("lblVersion");
  version->setProperty("tag", "TranslateFalse");
  auto* what = new QLabel("Converts image files into PDF documents in batches.", this);
  what->setObjectName("lblDescription");
  what->setWordWrap(true);
  auto* maker = new QLabel("Brindlecove, Inc.", this);
  maker->setObjectName("lblMaker");
  maker->setProperty("tag", "TranslateFalse");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(logo, &BrandLogo::doubleClicked, this, [this] { picBrindlecoveLogo_DblClick(); });

  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(version);
  texts->addWidget(what);
  texts->addWidget(maker);
  auto* top = new QHBoxLayout;
  top->addWidget(logo, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  TranslateForm(this);
  // The version line keeps its number; only its word is translated.
  version->setText(QString::fromStdString(Translate("Version")) +
                   QString(" %1.%2.%3").arg(kProgramVersionMajor).arg(kProgramVersionMinor).arg(kProgramVersionRevision));
}

bool frmAbout::picBrindlecoveLogo_DblClick() {
  return bFileExists(sIniFile) && ShellOpen(sIniFile);
}

void ShowAbout(QWidget* parent) {
  frmAbout about(parent);
  about.exec();
}

}  // namespace tessa
