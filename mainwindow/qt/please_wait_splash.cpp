#include "mainwindow/qt/please_wait_splash.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "common/qt/pickers.h"
#include "common/qt/translate_form.h"
#include "common/translator.h"
#include "engine/program/program_version.h"
#include "mainwindow/qt/brand_logo.h"

namespace tessa {

frmPleaseWait::frmPleaseWait(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("frmPleaseWait");
  setStyleSheet("frmPleaseWait { border: 1px solid #1f6f8b; }");
  auto* logo = new BrandLogo(this);
  logo->setObjectName("picLogo");
  lblHeader = new QLabel("Please wait while updating.", this);
  lblHeader->setObjectName("lblHeader");
  QFont big = lblHeader->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  lblHeader->setFont(big);
  lblLine1 = new QLabel(this);
  lblLine1->setObjectName("lblLine1");
  lblLine2 = new QLabel(this);
  lblLine2->setObjectName("lblLine2");
  auto* lines = new QVBoxLayout;
  lines->addWidget(lblHeader);
  lines->addWidget(lblLine1);
  lines->addWidget(lblLine2);
  lines->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(18, 18, 24, 18);
  layout->addWidget(logo, 0, Qt::AlignTop);
  layout->addSpacing(12);
  layout->addLayout(lines, 1);
  TranslateForm(this);
}

std::unique_ptr<frmPleaseWait> ShowStartupSplash() {
  auto splash = std::make_unique<frmPleaseWait>();
  splash->lblHeader->setText(QString::fromStdString(Translate("Tessalumen!")));
  splash->lblLine1->setText(
      QString("V%1.%2%3").arg(kProgramVersionMajor).arg(kProgramVersionMinor).arg(kProgramVersionRevision));
  splash->lblLine2->setText("Brindlecove, Inc.");
  splash->adjustSize();
  CenterFormInWorkArea(splash.get());
  splash->show();
  QCoreApplication::processEvents();
  return splash;
}

}  // namespace tessa
