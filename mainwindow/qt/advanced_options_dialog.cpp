#include "mainwindow/qt/advanced_options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/qt/translate_form.h"
#include "engine/main_form.h"
#include "engine/task/caret_records.h"
#include "mainwindow/qt/general_options_dialog.h"

namespace tessa {

namespace {

QLineEdit* Edit(const char* name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  return e;
}

// The box's text without any "^" (a field separator of the record), written
// back into the box.
std::string Cleaned(QLineEdit* box) {
  QString text = box->text();
  text.remove('^');
  box->setText(text);
  return text.toStdString();
}

}  // namespace

frmQuirepaneAdvancedOptions::frmQuirepaneAdvancedOptions(MainForm& frmMain, QWidget* parent)
    : QDialog(parent), frmMain_(frmMain) {
  setObjectName("frmQuirepaneAdvancedOptions");
  setWindowTitle("Advanced Options");
  setModal(true);

  cbAppendToEnd_ = new QCheckBox("Append (Concatenate) Image to the end of the PDF File", this);
  cbAppendToEnd_->setObjectName("cbAppendToEnd");
  auto* appendNote = new QLabel("This option can be used to join/stitch several images into one PDF file.", this);
  appendNote->setObjectName("lblAppendNote");
  appendNote->setWordWrap(true);

  txtAuthor_ = Edit("txtAuthor", this);
  txtCreator_ = Edit("txtCreator", this);
  txtKeywords_ = Edit("txtKeywords", this);
  txtSubject_ = Edit("txtSubject", this);
  txtTitle_ = Edit("txtTitle", this);
  auto* info = new QFormLayout;
  info->addRow("Author", txtAuthor_);
  info->addRow("Creator", txtCreator_);
  info->addRow("Keywords", txtKeywords_);
  info->addRow("Subject", txtSubject_);
  info->addRow("Title", txtTitle_);

  auto* tiffFrame = new QGroupBox("Converting FROM a TIFF file", this);
  tiffFrame->setObjectName("frameTiff");
  auto* compressionFrame = new QGroupBox("Compression Method", tiffFrame);
  compressionFrame->setObjectName("frameCompressionMethod");
  rbTiffCompressionMethod_ = new QButtonGroup(this);
  auto* compressionLayout = new QVBoxLayout(compressionFrame);
  const char* methods[] = {"No compression", "LZW Compression", "RLE Compression (1bpp)",
                           "CCITT3 Compression (1bpp)", "CCITT4 Compression (1bpp)"};
  for (int i = 0; i < 5; ++i) {
    auto* rb = new QRadioButton(methods[i], compressionFrame);
    rb->setObjectName(QString("rbTiffCompressionMethod%1").arg(i));
    rb->setProperty("Index", i);
    rbTiffCompressionMethod_->addButton(rb, i);
    compressionLayout->addWidget(rb);
  }
  txtTiffPagesToDo_ = Edit("txtTiffPagesToDo", tiffFrame);
  txtTiffPagesToDo_->setText("1");
  txtTiffPagesToDo_->setProperty("tag", "TranslateFalse");  // a page list, not a text
  auto* pagesLabel = new QLabel("Pages to convert:", tiffFrame);
  pagesLabel->setObjectName("lblTiffPagesToDo");
  pagesLabel->setBuddy(txtTiffPagesToDo_);
  auto* pages = new QHBoxLayout;
  pages->addWidget(pagesLabel);
  pages->addWidget(txtTiffPagesToDo_, 1);
  auto* tiffLayout = new QVBoxLayout(tiffFrame);
  tiffLayout->addWidget(compressionFrame);
  tiffLayout->addLayout(pages);

  auto* buttons = new QDialogButtonBox(this);
  cmdDone_ = buttons->addButton("&Done", QDialogButtonBox::AcceptRole);
  cmdDone_->setObjectName("cmdDone");
  auto* cmdCancel = buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  cmdCancel->setObjectName("cmdCancel");
  auto* cmdOptions = buttons->addButton("General Options", QDialogButtonBox::ActionRole);
  cmdOptions->setObjectName("cmdOptions");
  connect(cmdDone_, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  connect(cmdOptions, &QPushButton::clicked, this, [this] { cmdOptions_Click(); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(cbAppendToEnd_);
  layout->addWidget(appendNote);
  layout->addLayout(info);
  layout->addWidget(tiffFrame);
  layout->addStretch();
  layout->addWidget(buttons);

  TranslateForm(this);
}

void frmQuirepaneAdvancedOptions::Setup() {
  AdvancedOptions o;
  o.append = cbAppendToEnd_->isChecked();
  o.author = txtAuthor_->text().toStdString();
  o.creator = txtCreator_->text().toStdString();
  o.keywords = txtKeywords_->text().toStdString();
  o.subject = txtSubject_->text().toStdString();
  o.title = txtTitle_->text().toStdString();
  o.compression = std::max(rbTiffCompressionMethod_->checkedId(), 0);
  o.pages = txtTiffPagesToDo_->text().toStdString();
  ParseAdvancedOptions(sDataTransfer, o);
  cbAppendToEnd_->setChecked(o.append);
  txtAuthor_->setText(QString::fromStdString(o.author));
  txtCreator_->setText(QString::fromStdString(o.creator));
  txtKeywords_->setText(QString::fromStdString(o.keywords));
  txtSubject_->setText(QString::fromStdString(o.subject));
  txtTitle_->setText(QString::fromStdString(o.title));
  txtTiffPagesToDo_->setText(QString::fromStdString(o.pages));
  // An index without a button selects none; Done then gives 0.
  rbTiffCompressionMethod_->setExclusive(false);
  for (QAbstractButton* b : rbTiffCompressionMethod_->buttons()) b->setChecked(false);
  rbTiffCompressionMethod_->setExclusive(true);
  if (QAbstractButton* b = rbTiffCompressionMethod_->button(o.compression)) b->setChecked(true);
}

void frmQuirepaneAdvancedOptions::cmdDone_Click() {
  AdvancedOptions o;
  o.author = Cleaned(txtAuthor_);
  o.creator = Cleaned(txtCreator_);
  o.keywords = Cleaned(txtKeywords_);
  o.subject = Cleaned(txtSubject_);
  o.title = Cleaned(txtTitle_);
  o.pages = Cleaned(txtTiffPagesToDo_);
  o.compression = std::max(rbTiffCompressionMethod_->checkedId(), 0);
  o.append = cbAppendToEnd_->isChecked();
  sDataTransfer = BuildAdvancedOptions(o);
  accept();
}

void frmQuirepaneAdvancedOptions::cmdCancel_Click() { reject(); }

void frmQuirepaneAdvancedOptions::cmdOptions_Click() {
  ShowGeneralOptions(this, frmMain_);
  cmdDone_->setFocus();
}

int ShowAdvancedOptions(QWidget* parent, MainForm& frmMain, std::string& sRecord) {
  frmQuirepaneAdvancedOptions dialog(frmMain, parent);
  dialog.sDataTransfer = sRecord;
  dialog.Setup();
  const int result = dialog.exec();
  sRecord = dialog.sDataTransfer;
  return result;
}

}  // namespace tessa
