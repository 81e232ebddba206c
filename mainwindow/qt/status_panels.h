// The frame's status bar sbMain and its eleven numbered panels: 3 the task
// number, 6 the run state (with the end-of-job notifier's picture), 8 the
// current file or the last error, 11 the elapsed seconds; the panels before
// them name what they show. Each panel keeps its text inside itself.
#pragma once

#include <QObject>
#include <QString>
#include <vector>

class QLabel;
class QMainWindow;
class QStatusBar;

namespace tessa {

class StatusPanels : public QObject {
  Q_OBJECT
 public:
  static constexpr int kPanels = 11;

  // Makes the frame's status bar sbMain with its panels.
  explicit StatusPanels(QMainWindow& frame);

  // The panels of frame; nullptr when it has none.
  static StatusPanels* Of(const QMainWindow& frame);

  void SetText(int panel, const QString& text);
  QString Text(int panel) const;
  // Panel 6's picture: the notifier's bright state (and the panel enabled)
  // or its dim state (and the panel disabled).
  void SetNotifierPicture(bool bright);
  bool NotifierBright() const { return bright_; }
  QLabel* Panel(int panel) const;
  // What a panel shows of its text: the whole text, or the text shortened in
  // the middle ("...") to the panel's width.
  static QString Shown(const QLabel& panel);

 private:
  QStatusBar* bar_;
  std::vector<QLabel*> panels_;
  QLabel* picture_;
  bool bright_ = true;
};

}  // namespace tessa
