#include "contexthelper/qt/helper_service.h"

#include <QDesktopServices>
#include <QUrl>
#include <chrono>

#include "contexthelper/qt/bus_automation_session.h"
#include "contexthelper/qt/progress_window.h"

namespace tessa::ferrowick {

namespace {

// A call returns before its work starts; the work begins this much later.
constexpr std::chrono::milliseconds kStartDelay{100};
// A helper started without a request ends after this long.
constexpr std::chrono::minutes kFirstRequestLimit{1};
// Once idle, the helper waits this long before it ends, so that a request
// sent right after a run is still served.
constexpr std::chrono::milliseconds kIdleDelay{500};

}  // namespace

HelperService::HelperService(QDBusConnection bus, UserInterface& ui, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), ui_(ui), open_([](const std::string& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
      }) {
  startTimer_.setSingleShot(true);
  startTimer_.setInterval(kStartDelay);
  connect(&startTimer_, &QTimer::timeout, this, &HelperService::StartNext);
  idleTimer_.setSingleShot(true);
  connect(&idleTimer_, &QTimer::timeout, this, [this] {
    if (bIdle()) Q_EMIT Finished();
  });
  idleTimer_.start(kFirstRequestLimit);
}

void HelperService::Enqueue(RunRequest request) {
  idleTimer_.stop();
  queue_.push_back(std::move(request));
  if (!running_ && !startTimer_.isActive()) startTimer_.start();
}

void HelperService::StartNext() {
  if (running_ || queue_.empty()) return;
  running_ = true;
  const RunRequest request = std::move(queue_.front());
  queue_.pop_front();

  auto* window = new ProgressWindow;
  ++openWindows_;
  connect(window, &QObject::destroyed, this, [this] {
    --openWindows_;
    CheckIdle();
  });
  window->SetRunning(true);
  window->show();
  Q_EMIT RunStarted(window);
  bool clean = false;
  {
    BusAutomationSession automation(bus_, automationService_);
    WorkRoutines routines(*window, automation, ui_, open_);
    clean = routines.Run(request);
  }
  // The window goes only now that the run no longer uses it.
  window->SetRunning(false);
  running_ = false;
  Q_EMIT RunFinished();
  if (window->CancelRequested())
    window->close();
  else if (clean)
    window->CloseSoon();
  if (!queue_.empty()) startTimer_.start();
  CheckIdle();
}

void HelperService::CheckIdle() {
  if (bIdle()) idleTimer_.start(kIdleDelay);
}

}  // namespace tessa::ferrowick
