// The control as a widget a window can hold: always 32 by 32 pixels, and
// the about box behind ShowAboutBox.
#pragma once

#include <QDialog>
#include <QWidget>

#include "pdfcontrol/quirepane.h"

namespace quirepane {

// The about box: caption "Quirepane - Corvane", the version line, a picture,
// the maker's web address and legal notice. The caller shows it.
QDialog* CreateAboutBox(QWidget* parent = nullptr);

class QuirepaneWidget : public QWidget {
  Q_OBJECT

 public:
  explicit QuirepaneWidget(QWidget* parent = nullptr);

  // The control this widget shows; its ShowAboutBox opens the about box
  // modally over this widget.
  Quirepane& control() { return control_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Quirepane control_;
};

}  // namespace quirepane
