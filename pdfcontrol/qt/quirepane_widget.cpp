#include "pdfcontrol/qt/quirepane_widget.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace quirepane {
namespace {

constexpr int kSide = 32;  // 480 twips at 96 dots per inch

}  // namespace

QDialog* CreateAboutBox(QWidget* parent) {
  auto* box = new QDialog(parent);
  box->setWindowTitle("Quirepane - Corvane");
  auto* layout = new QVBoxLayout(box);
  auto* image = new QLabel(box);
  image->setObjectName("Image1");
  image->setPixmap(box->style()->standardIcon(QStyle::SP_FileIcon).pixmap(48, 48));
  auto* version = new QLabel(QString::fromStdString(AboutBoxVersion()), box);
  version->setObjectName("lblVersion");
  auto* web = new QLabel("https://www.corvane.example/quirepane", box);
  web->setObjectName("lblWeb");
  auto* legal = new QLabel("Copyright Corvane. All rights reserved.", box);
  legal->setObjectName("lblLegal");
  auto* ok = new QPushButton("OK", box);
  QObject::connect(ok, &QPushButton::clicked, box, &QDialog::accept);
  for (QWidget* w : {static_cast<QWidget*>(image), static_cast<QWidget*>(version), static_cast<QWidget*>(web),
                     static_cast<QWidget*>(legal), static_cast<QWidget*>(ok)}) {
    layout->addWidget(w);
  }
  return box;
}

QuirepaneWidget::QuirepaneWidget(QWidget* parent) : QWidget(parent) {
  setFixedSize(kSide, kSide);
  control_.AboutBoxHandler = [this] {
    QDialog* box = CreateAboutBox(this);
    box->exec();
    delete box;
  };
}

void QuirepaneWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (event->size() != QSize(kSide, kSide)) resize(kSide, kSide);
}

void QuirepaneWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.drawText(rect(), Qt::AlignCenter, "PDF");
}

}  // namespace quirepane
