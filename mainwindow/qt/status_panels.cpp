#include "mainwindow/qt/status_panels.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>

namespace tessa {

namespace {

// A panel keeps its text inside itself: a text wider than the panel is shown
// shortened in the middle, so that a path keeps its start and its file name.
class PanelLabel : public QLabel {
 public:
  explicit PanelLabel(const QString& text) : QLabel(text) { setTextFormat(Qt::PlainText); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), StatusPanels::Shown(*this), foregroundRole());
  }
};

}  // namespace

QString StatusPanels::Shown(const QLabel& panel) {
  return panel.fontMetrics().elidedText(panel.text(), Qt::ElideMiddle, panel.contentsRect().width());
}

StatusPanels::StatusPanels(QMainWindow& frame) : QObject(&frame) {
  setObjectName("sbMainPanels");
  bar_ = new QStatusBar(&frame);
  bar_->setObjectName("sbMain");
  frame.setStatusBar(bar_);
  // Captions of the panels that the run writes; panels 1, 4 and 9 are gaps.
  const char* captions[kPanels] = {"", "Task:", "", "", "Status:", "", "File:", "", "", "Seconds:", ""};
  for (int i = 0; i < kPanels; ++i) {
    auto* label = new PanelLabel(QString::fromUtf8(captions[i]));
    label->setObjectName(QStringLiteral("sbMainPanel%1").arg(i + 1));
    panels_.push_back(label);
  }
  picture_ = new QLabel;
  picture_->setObjectName("sbMainPanel6Picture");
  for (int i : {1, 2}) bar_->addWidget(panels_[i]);
  bar_->addWidget(picture_);
  for (int i : {4, 5}) bar_->addWidget(panels_[i]);
  bar_->addWidget(panels_[6]);
  bar_->addWidget(panels_[7], 1);
  for (int i : {9, 10}) bar_->addPermanentWidget(panels_[i]);
  for (int i : {2, 5, 10}) panels_[i]->setMinimumWidth(i == 5 ? 140 : 40);
  for (int i : {0, 3, 8}) panels_[i]->hide();
  // A long file name or error is shortened, never widening the window, and
  // keeps a gap to the seconds.
  panels_[7]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  panels_[7]->setMinimumWidth(80);
  panels_[7]->setContentsMargins(0, 0, 8, 0);
}

StatusPanels* StatusPanels::Of(const QMainWindow& frame) { return frame.findChild<StatusPanels*>("sbMainPanels"); }

QLabel* StatusPanels::Panel(int panel) const {
  return panel >= 1 && panel <= kPanels ? panels_[panel - 1] : nullptr;
}

void StatusPanels::SetText(int panel, const QString& text) {
  if (QLabel* label = Panel(panel)) label->setText(text);
}

QString StatusPanels::Text(int panel) const {
  const QLabel* label = Panel(panel);
  return label ? label->text() : QString();
}

void StatusPanels::SetNotifierPicture(bool bright) {
  bright_ = bright;
  const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton);
  picture_->setPixmap(icon.pixmap(16, 16, bright ? QIcon::Normal : QIcon::Disabled));
  panels_[5]->setEnabled(bright);
}

}  // namespace tessa
