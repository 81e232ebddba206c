#include "mainwindow/qt/brand_logo.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace tessa {

namespace {

// A page with a folded corner on a blue-green tile: the program's mark.
QPixmap DrawLogo() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient tile(0, 0, 64, 64);
  tile.setColorAt(0, QColor(0x1f, 0x6f, 0x8b));
  tile.setColorAt(1, QColor(0x2a, 0x9d, 0x8f));
  p.setBrush(tile);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(2, 2, 60, 60, 10, 10);
  const QPolygon page({QPoint(18, 12), QPoint(38, 12), QPoint(48, 22), QPoint(48, 52), QPoint(18, 52)});
  p.setBrush(Qt::white);
  p.drawPolygon(page);
  p.setBrush(QColor(0xd0, 0xe4, 0xe8));
  p.drawPolygon(QPolygon({QPoint(38, 12), QPoint(48, 22), QPoint(38, 22)}));
  p.setPen(QPen(QColor(0x1f, 0x6f, 0x8b), 3));
  for (int y = 30; y <= 44; y += 7) p.drawLine(23, y, 43, y);
  return pixmap;
}

}  // namespace

BrandLogo::BrandLogo(QWidget* parent) : QLabel(parent) {
  setPixmap(DrawLogo());
  setFixedSize(64, 64);
}

void BrandLogo::mouseDoubleClickEvent(QMouseEvent* event) {
  emit doubleClicked();
  event->accept();
}

}  // namespace tessa
