#include "contexthelper/qt/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "common/qt/translate_form.h"

namespace tessa::ferrowick {

namespace {

// The delay before a window closes itself after a clean run.
constexpr int kCloseDelayMs = 100;

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Tessalumen Progress"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(QFont(QStringLiteral("Tahoma"), 8));

  Frame1 = Named(new QGroupBox(this), "Frame1");
  Label1 = Named(new QLabel(QStringLiteral("Converting Images to PDF"), Frame1), "Label1");
  txtFile = Named(new QLineEdit(Frame1), "txtFile");
  txtFile->setReadOnly(true);
  ProgressBar1 = Named(new QProgressBar(Frame1), "ProgressBar1");
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setRange(0, 1);
  ProgressBar1->setValue(0);
  lblPercent = Named(new QLabel(QStringLiteral("0%"), Frame1), "lblPercent");
  lblPercent->setMinimumWidth(lblPercent->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
  lblPercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblErrors = Named(new QLabel(QStringLiteral("Errors:"), Frame1), "lblErrors");
  txtErrors = Named(new QPlainTextEdit(Frame1), "txtErrors");
  txtErrors->setReadOnly(true);
    cmdCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
  cmdClose = Named(new QPushButton(QStringLiteral("Close"), this), "cmdClose");

  auto* progressRow = new QHBoxLayout;
  progressRow->addWidget(ProgressBar1, 1);
  progressRow->addWidget(lblPercent);
  auto* frameLayout = new QVBoxLayout(Frame1);
  frameLayout->addWidget(Label1);
  frameLayout->addWidget(txtFile);
  frameLayout->addLayout(progressRow);
  frameLayout->addWidget(lblErrors);
  frameLayout->addWidget(txtErrors, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1, 1);
  layout->addLayout(buttons);

  // The error list lies below the window's first height until a run ends
  // with errors.
  lblErrors->hide();
  txtErrors->hide();
  cmdClose->hide();
  setMinimumWidth(520);

  connect(cmdCancel, &QPushButton::clicked, this, &ProgressWindow::Cancel);
  connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(esc, &QShortcut::activated, this, &ProgressWindow::Cancel);
  TranslateForm(this);
}

void ProgressWindow::SetTitle(const std::string& text) { Label1->setText(QString::fromStdString(text)); }

void ProgressWindow::SetCurrentFile(const std::string& path) {
  txtFile->setText(QString::fromStdString(path));
  txtFile->setCursorPosition(txtFile->text().size());
}

void ProgressWindow::SetProgress(int value, int maximum) {
  ProgressBar1->setRange(0, maximum > 0 ? maximum : 1);
  ProgressBar1->setValue(value);
}

void ProgressWindow::SetPercent(const std::string& text) { lblPercent->setText(QString::fromStdString(text)); }

void ProgressWindow::SetErrors(const std::string& text) { txtErrors->setPlainText(QString::fromStdString(text)); }

void ProgressWindow::ShowErrorLayout() {
  lblErrors->show();
  txtErrors->show();
  cmdCancel->hide();
  cmdClose->show();
  cmdClose->setDefault(true);
  resize(width(), qMax(height(), sizeHint().height()));
}

void ProgressWindow::Yield() { QCoreApplication::processEvents(); }

void ProgressWindow::CloseSoon() { QTimer::singleShot(kCloseDelayMs, this, &QWidget::close); }

void ProgressWindow::Cancel() {
  cancel_ = true;
  if (running_) {
    cmdCancel->setEnabled(false);
  } else {
    close();
  }
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  if (running_) {
    cancel_ = true;
    cmdCancel->setEnabled(false);
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace tessa::ferrowick
