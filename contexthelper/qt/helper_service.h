// The context helper's work queue: requests of the Process object run one
// after another, each in a progress window of its own, 100 ms after the
// call that queued it has returned. The service is done when no request
// waits, none runs and no progress window is open.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <deque>

#include "contexthelper/run_request.h"
#include "contexthelper/work_routines.h"

namespace tessa {
class UserInterface;
}

namespace tessa::ferrowick {

class ProgressWindow;

class HelperService : public QObject {
  Q_OBJECT

 public:
  // bus reaches tessaprint; ui asks the overwrite questions. Results open
  // with the desktop's program unless SetOpener names another way.
  HelperService(QDBusConnection bus, UserInterface& ui, QObject* parent = nullptr);

  // The automation service to drive (tessaprint's by default).
  void SetAutomationService(const QString& service) { automationService_ = service; }
  void SetOpener(OpenResult open) { open_ = std::move(open); }

  // Queues a copy of request; it runs after those queued before it.
  void Enqueue(RunRequest request);

  // True when no request waits, none runs and no progress window is open.
  bool bIdle() const { return !running_ && queue_.empty() && openWindows_ == 0; }

 Q_SIGNALS:
  // A run begins in window.
  void RunStarted(tessa::ferrowick::ProgressWindow* window);
  // A run has ended (its window may still be open with errors).
  void RunFinished();
  // Nothing has been queued, run or shown for a while: the program may end.
  void Finished();

 private:
  void StartNext();
  void CheckIdle();

  QDBusConnection bus_;
  UserInterface& ui_;
  QString automationService_;
  OpenResult open_;
  std::deque<RunRequest> queue_;
  QTimer startTimer_;  // the one-shot timer that starts the next request
  QTimer idleTimer_;
  bool running_ = false;
  int openWindows_ = 0;
};

}  // namespace tessa::ferrowick
