#include "mainwindow/qt/general_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/file_helpers.h"
#include "common/help_launcher.h"
#include "common/qt/pickers.h"
#include "common/qt/translate_form.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/main_form.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

QCheckBox* Check(const char* name, const char* text, QWidget* parent) {
  auto* c = new QCheckBox(text, parent);
  c->setObjectName(name);
  return c;
}

QLabel* Note(const char* name, const char* text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setWordWrap(true);
  return l;
}

QPushButton* Button(const char* name, const char* text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

}  // namespace

frmOptions::frmOptions(MainForm& mother, QWidget* parent) : QDialog(parent), frmMother(mother) {
  setObjectName("frmOptions");
  setWindowTitle("Options");
  setModal(true);

  auto* general = new QGroupBox("General Options", this);
  general->setObjectName("frameGeneralOptions");
  cbSkipProcessedFiles_ = Check("cbSkipProcessedFiles",
                                "Skip INPUT files already processed (i.e. Do not overwrite existing Output files)", general);
  cbUseOriginalTimeStamps_ = Check("cbUseOriginalTimeStamps",
                                   "Keep original (INPUT) file timestamp (Last Modified, Created, Accessed)", general);
  cbTryAutodetectIfFailed_ =
      Check("cbTryAutodetectIfFailed", "If conversion fails, try using Autodetecting Input File Type", general);
  cbDeleteAfterProcessing_ = Check("cbDeleteAfterProcessing", "Delete INPUT files after processing", general);
  auto* deleteWarning = Note("lblDeleteWarning",
                             "Please be VERY careful when enabling this option. Back up critical data first.  No "
                             "deletion will occur if the Input and Output are exactly the same file.",
                             general);
  deleteWarning->setStyleSheet("color: #a00000;");
  cbMoveAfterProcessing_ =
      Check("cbMoveAfterProcessing", "Move INPUT files to specified folder after processing", general);
  txtMoveToFolder_ = new QLineEdit(general);
  txtMoveToFolder_->setObjectName("txtMoveToFolder");
  cmdSelectMoveFolder_ = Button("cmdSelectMoveFolder", "Folder..", general);
  auto* moveRow = new QHBoxLayout;
  moveRow->addSpacing(20);
  moveRow->addWidget(txtMoveToFolder_, 1);
  moveRow->addWidget(cmdSelectMoveFolder_);
  auto* generalLayout = new QVBoxLayout(general);
  generalLayout->addWidget(cbSkipProcessedFiles_);
  generalLayout->addWidget(cbUseOriginalTimeStamps_);
  generalLayout->addWidget(cbTryAutodetectIfFailed_);
  generalLayout->addWidget(cbDeleteAfterProcessing_);
  generalLayout->addWidget(deleteWarning);
  generalLayout->addWidget(cbMoveAfterProcessing_);
  generalLayout->addLayout(moveRow);

  auto* logFrame = new QGroupBox("Create Log of Files Processed (Leave empty for none)", this);
  logFrame->setObjectName("frameLogFile");
  auto* logNote = Note("lblLogFileNote", "Select the file name of the report (e.g. c:\\myoutput\\Report.TXT)", logFrame);
  txtLogFile_ = new QLineEdit(logFrame);
  txtLogFile_->setObjectName("txtLogFile");
  auto* cmdSelectLogFile = Button("cmdSelectScheduledJobFile", "  File..", logFrame);
  auto* logRow = new QHBoxLayout;
  logRow->addWidget(txtLogFile_, 1);
  logRow->addWidget(cmdSelectLogFile);
  auto* logLayout = new QVBoxLayout(logFrame);
  logLayout->addWidget(logNote);
  logLayout->addLayout(logRow);

  auto* buttons = new QDialogButtonBox(this);
  auto* cmdApply = buttons->addButton("&Apply", QDialogButtonBox::AcceptRole);
  cmdApply->setObjectName("cmdApply");
  cmdApply->setDefault(true);
  auto* cmdCancel = buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
  cmdCancel->setObjectName("cmdCancel");
  auto* cmdHelp = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
  cmdHelp->setObjectName("cmdHelpRegularExpression");
  cmdHelp->setToolTip("Press for help");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(general);
  layout->addWidget(logFrame);
  layout->addStretch();
  layout->addWidget(buttons);

  connect(cbDeleteAfterProcessing_, &QCheckBox::toggled, this, [this] { cbDeleteAfterProcessing_Click(); });
  connect(cbMoveAfterProcessing_, &QCheckBox::toggled, this, [this] { cbMoveAfterProcessing_Click(); });
  connect(cmdSelectMoveFolder_, &QPushButton::clicked, this, [this] { cmdSelectMoveFolder_Click(); });
  connect(cmdSelectLogFile, &QPushButton::clicked, this, [this] { cmdSelectScheduledJobFile_Click(); });
  connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelpRegularExpression_Click(); });

  // Form_Load: translate, then show the mother's options. A box set here
  // runs its rule, so Delete and Move already exclude each other.
  bUpdating_ = false;
  TranslateForm(this);
  txtMoveToFolder_->setEnabled(false);
  cmdSelectMoveFolder_->setEnabled(false);
  cbSkipProcessedFiles_->setChecked(frmMother.bSkipProcessedFiles);
  cbUseOriginalTimeStamps_->setChecked(frmMother.bRetainInputFileTimeStamp);
  cbTryAutodetectIfFailed_->setChecked(frmMother.bTryAutodetectIfFailed);
  cbDeleteAfterProcessing_->setChecked(frmMother.bDeleteOriginalFileAfterProcessing);
  txtLogFile_->setText(QString::fromStdString(frmMother.sLogFile));
  cbMoveAfterProcessing_->setChecked(frmMother.bMoveOriginalFileAfterProcessing);
  txtMoveToFolder_->setText(QString::fromStdString(frmMother.sMoveFileToFolder));
}

void frmOptions::cbDeleteAfterProcessing_Click() {
  if (bUpdating_ || !cbDeleteAfterProcessing_->isChecked()) return;
  bUpdating_ = true;
  cbMoveAfterProcessing_->setChecked(false);
  txtMoveToFolder_->setEnabled(false);
  cmdSelectMoveFolder_->setEnabled(false);
  bUpdating_ = false;
}

void frmOptions::cbMoveAfterProcessing_Click() {
  if (bUpdating_) return;
  const bool on = cbMoveAfterProcessing_->isChecked();
  txtMoveToFolder_->setEnabled(on);
  cmdSelectMoveFolder_->setEnabled(on);
  if (!on) return;
  bUpdating_ = true;
  cbDeleteAfterProcessing_->setChecked(false);
  bUpdating_ = false;
}

void frmOptions::cmdSelectMoveFolder_Click() {
  std::string start = Text(txtMoveToFolder_);
  // A cancelled browse keeps the folder that was there.
  const std::string folder = BrowseForFolder(this, start);
  if (!folder.empty()) txtMoveToFolder_->setText(QString::fromStdString(folder));
}

void frmOptions::cmdSelectScheduledJobFile_Click() {
  long index = 1;
  const std::string file = PickFile(this, Translate("Report File Path"),
                                    "Log File(*.LOG)|*.LOG|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*", index);
  if (!file.empty()) txtLogFile_->setText(QString::fromStdString(file));
}

void frmOptions::cmdApply_Click() {
  if (TrimBlanks(Text(txtMoveToFolder_)).empty()) {
    txtMoveToFolder_->clear();
    cbMoveAfterProcessing_->setChecked(false);
  }
  if (cbMoveAfterProcessing_->isChecked() && !bFolderExists(TypedPath(Text(txtMoveToFolder_)))) {
    CurrentUserInterface().MsgBox(Text(txtMoveToFolder_) + "\n\n" + Translate("does not exist."), vbOKOnly, "");
    txtMoveToFolder_->selectAll();
    txtMoveToFolder_->setFocus();
    return;
  }
  frmMother.bSkipProcessedFiles = cbSkipProcessedFiles_->isChecked();
  frmMother.bRetainInputFileTimeStamp = cbUseOriginalTimeStamps_->isChecked();
  frmMother.bMoveOriginalFileAfterProcessing = cbMoveAfterProcessing_->isChecked();
  frmMother.sMoveFileToFolder = TrimBlanks(Text(txtMoveToFolder_));
  frmMother.bDeleteOriginalFileAfterProcessing = cbDeleteAfterProcessing_->isChecked();
  frmMother.bTryAutodetectIfFailed = cbTryAutodetectIfFailed_->isChecked();
  frmMother.sLogFile = TrimBlanks(Text(txtLogFile_));
  accept();
}

void frmOptions::cmdCancel_Click() { reject(); }

void frmOptions::cmdHelpRegularExpression_Click() {
  ShowHelpTopic(kHelpProgramOptions, HelpAddress("ProgramOptions"));
}

int ShowGeneralOptions(QWidget* parent, MainForm& frmMother) {
  frmOptions dialog(frmMother, parent);
  return dialog.exec();
}

}  // namespace tessa
