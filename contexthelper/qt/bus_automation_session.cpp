#include "contexthelper/qt/bus_automation_session.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "contexthelper/helper_texts.h"
#include "platform/bus_names.h"

namespace tessa::ferrowick {

namespace {

// Starting tessaprint may take a while on a busy machine.
constexpr int kCreateTimeoutMs = 120 * 1000;
// A file may take very long (a huge multi-page TIFF): the longest time-out
// the bus takes, about 24 days.
constexpr int kCommandTimeoutMs = std::numeric_limits<int>::max();
constexpr int kReleaseTimeoutMs = 5000;
// A tessaprint that is ending (its last instance was released a moment ago)
// refuses a create that reached it as it gave up its bus name, or ends
// without answering it: such a refusal is asked again after a pause, until a
// fresh tessaprint is started. All attempts share the one time-out above, so
// a call that used it up is not repeated.
constexpr int kCreateAttempts = 10;
constexpr int kRetryPauseMs = 200;

// True when error is what a service on its way out answers.
bool bServiceGoingAway(const QDBusError& error) {
  switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::NoReply:
    case QDBusError::Disconnected:
      return true;
    default:
      return false;
  }
}

void Pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Sends call and waits for its answer in a local event loop.
QDBusMessage CallAndWait(QDBusConnection& bus, const QDBusMessage& call, int timeoutMs) {
  QDBusPendingCallWatcher watcher(bus.asyncCall(call, timeoutMs));
  if (!watcher.isFinished()) {
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return watcher.reply();
}

}  // namespace

BusAutomationSession::BusAutomationSession(QDBusConnection bus, QString service)
    : bus_(std::move(bus)), service_(service.isEmpty() ? QString::fromLatin1(bus::kTessaprintService) : service) {}

BusAutomationSession::~BusAutomationSession() { Release(); }

int BusAutomationSession::ErrorNumber(const QDBusError& error) {
  switch (error.type()) {
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::InvalidSignature:
      return kErrMethodNotSupported;
    default:
      return kErrCannotCreateObject;
  }
}

int BusAutomationSession::Create() {
  if (!instance_.isEmpty()) return 0;
  if (!bus_.isConnected()) return kErrCannotCreateObject;
  const QDBusMessage call = QDBusMessage::createMethodCall(service_, QString::fromLatin1(bus::kTessaprintFactoryPath),
                                                           QString::fromLatin1(bus::kTessaprintFactoryInterface),
                                                           QStringLiteral("CreateInstance"));
  QDBusPendingReply<QDBusObjectPath> reply;
  QElapsedTimer clock;
  clock.start();
  for (int attempt = 1;; ++attempt) {
    reply = CallAndWait(bus_, call, static_cast<int>(std::max<qint64>(kCreateTimeoutMs - clock.elapsed(), 1)));
    if (!reply.isError() || attempt == kCreateAttempts || !bServiceGoingAway(reply.error()) ||
        clock.elapsed() + kRetryPauseMs >= kCreateTimeoutMs)
      break;
    Pause(kRetryPauseMs);
  }
  if (reply.isError()) return ErrorNumber(reply.error());
  if (!reply.isValid()) return kErrMethodNotSupported;
  instance_ = reply.value().path();
  return 0;
}

int BusAutomationSession::DoCommandLine(const std::string& command, int32_t& result) {
  if (instance_.isEmpty()) return kErrCannotCreateObject;
  QDBusMessage call = QDBusMessage::createMethodCall(service_, instance_,
                                                     QString::fromLatin1(bus::kTessaprintInstanceInterface),
                                                     QStringLiteral("DoCommandLine"));
  call << QString::fromStdString(command);
  const QDBusPendingReply<int, QString> reply = CallAndWait(bus_, call, kCommandTimeoutMs);
  if (reply.isError()) return ErrorNumber(reply.error());
  if (!reply.isValid()) return kErrMethodNotSupported;
  result = reply.argumentAt<0>();
  return 0;
}

void BusAutomationSession::Release() {
  if (instance_.isEmpty()) return;
  const QDBusMessage call = QDBusMessage::createMethodCall(
      service_, instance_, QString::fromLatin1(bus::kTessaprintInstanceInterface), QStringLiteral("Release"));
  instance_.clear();
  // The instance also ends when this connection leaves the bus, so the
  // answer only matters as a sign that the call went out.
  CallAndWait(bus_, call, kReleaseTimeoutMs);
}

}  // namespace tessa::ferrowick
