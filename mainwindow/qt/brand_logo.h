// The maker's logo as the about box and the start-up splash show it: a
// picture that reports double-clicks.
#pragma once

#include <QLabel>

namespace tessa {

class BrandLogo : public QLabel {
  Q_OBJECT

 public:
  explicit BrandLogo(QWidget* parent = nullptr);

 signals:
  void doubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace tessa
