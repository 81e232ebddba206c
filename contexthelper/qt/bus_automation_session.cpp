#include "contexthelper/qt/bus_automation_session.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
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
  QDBusMessage answer = CallAndWait(bus_, call, kCreateTimeoutMs);
  // A program that was just ending may have taken the request without
  // answering it; the bus starts a new one for the second try.
  if (answer.type() == QDBusMessage::ErrorMessage && ErrorNumber(QDBusError(answer)) == kErrCannotCreateObject)
    answer = CallAndWait(bus_, call, kCreateTimeoutMs);
  const QDBusPendingReply<QDBusObjectPath> reply = answer;
  if (reply.isError()) return ErrorNumber(reply.error());
  if (!reply.isValid()) return kErrMethodNotSupported;
  instance_ = reply.value().path();
  // The instance lives in that process: later calls go to it by its own
  // name, never to whichever process holds the service name by then.
  owner_ = answer.service().isEmpty() ? service_ : answer.service();
  return 0;
}

int BusAutomationSession::DoCommandLine(const std::string& command, int32_t& result) {
  if (instance_.isEmpty()) return kErrCannotCreateObject;
  QDBusMessage call = QDBusMessage::createMethodCall(owner_, instance_,
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
      owner_, instance_, QString::fromLatin1(bus::kTessaprintInstanceInterface), QStringLiteral("Release"));
  instance_.clear();
  // The instance also ends when this connection leaves the bus, so the
  // answer only matters as a sign that the call went out.
  CallAndWait(bus_, call, kReleaseTimeoutMs);
}

}  // namespace tessa::ferrowick
