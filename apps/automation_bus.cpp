#include "apps/automation_bus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <cstdio>
#include <utility>

#include "engine/main_form.h"

namespace tessa {

namespace {

// After the last instance goes, the process waits this long before it ends,
// so that the reply to Release reaches its caller; a new CreateInstance in
// that time keeps the process.
constexpr std::chrono::milliseconds kQuitDelay{200};

constexpr QDBusConnection::RegisterOptions kExportOptions =
    QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals;

}  // namespace

AutomationInstance::AutomationInstance(AutomationFactory& factory, MainForm& frm, QString owner, QString path)
    : factory_(factory),
      owner_(std::move(owner)),
      path_(std::move(path)),
      core_(frm, [this](int32_t lErr, const std::string& sErr) {
        Q_EMIT OnError(lErr, QString::fromStdString(sErr));
      }) {}

int AutomationInstance::DoCommandLine(const QString& sCommand, QString& sCommandBack) {
  // The run does not return to the event loop until it is done, so no other
  // call is dispatched inside this one.
  std::string command = sCommand.toStdString();
  const int result = core_.DoCommandLine(command);
  sCommandBack = QString::fromStdString(command);
  return result;
}

void AutomationInstance::Release() { factory_.Drop(path_); }

AutomationFactory::AutomationFactory(MainForm& frm, std::chrono::milliseconds firstInstanceLimit) : frm_(frm) {
  firstInstanceTimer_.setSingleShot(true);
  firstInstanceTimer_.setInterval(firstInstanceLimit);
  connect(&firstInstanceTimer_, &QTimer::timeout, this, [this] {
    if (instances_.empty()) LeaveBusAndQuit();
  });
  quitTimer_.setSingleShot(true);
  quitTimer_.setInterval(kQuitDelay);
  connect(&quitTimer_, &QTimer::timeout, this, [this] { LeaveBusAndQuit(); });
}

AutomationFactory::~AutomationFactory() = default;

bool AutomationFactory::Publish() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    std::fprintf(stderr, "tessaprint: cannot reach the session bus: %s\n",
                 qPrintable(bus.lastError().message()));
    return false;
  }
  watcher_ = new QDBusServiceWatcher(this);
  watcher_->setConnection(bus);
  watcher_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
  connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &AutomationFactory::OwnerLeft);
  if (!bus.registerObject(bus::kTessaprintFactoryPath, this, kExportOptions)) {
    std::fprintf(stderr, "tessaprint: cannot export %s on the session bus\n", bus::kTessaprintFactoryPath);
    return false;
  }
  if (!bus.registerService(bus::kTessaprintService)) {
    std::fprintf(stderr, "tessaprint: cannot own the bus name %s: %s\n", bus::kTessaprintService,
                 qPrintable(bus.lastError().message()));
    return false;
  }
  firstInstanceTimer_.start();
  return true;
}

QDBusObjectPath AutomationFactory::CreateInstance() {
  if (bLeaving_) {
    // The name is gone already: the client asks again and reaches a new copy.
    sendErrorReply(QDBusError::ServiceUnknown, QStringLiteral("tessaprint is ending; ask again"));
    return {};
  }
  quitTimer_.stop();
  firstInstanceTimer_.stop();
  const QString owner = calledFromDBus() ? message().service() : QString();
  const QString path = QStringLiteral("%1/clsTessalumen/%2").arg(bus::kTessaprintFactoryPath).arg(nextId_++);
  auto instance = std::make_unique<AutomationInstance>(*this, frm_, owner, path);
  if (!QDBusConnection::sessionBus().registerObject(path, instance.get(), kExportOptions)) {
    sendErrorReply(QDBusError::Failed, QStringLiteral("cannot export %1").arg(path));
    QuitSoonWhenUnused();
    return {};
  }
  instances_.emplace(path, std::move(instance));
  if (!owner.isEmpty()) {
    watcher_->addWatchedService(owner);
    // A client that left before its request was served was never seen
    // leaving: asked after the watch, the bus answers in order.
    if (!QDBusConnection::sessionBus().interface()->isServiceRegistered(owner).value()) Drop(path);
  }
  return QDBusObjectPath(path);
}

void AutomationFactory::Drop(const QString& path) {
  auto it = instances_.find(path);
  if (it == instances_.end()) return;
  QDBusConnection::sessionBus().unregisterObject(path);
  // The instance may be the one whose Release is running right now.
  it->second.release()->deleteLater();
  instances_.erase(it);
  QuitSoonWhenUnused();
}

void AutomationFactory::OwnerLeft(const QString& service) {
  std::vector<QString> gone;
  for (const auto& [path, instance] : instances_)
    if (instance->owner() == service) gone.push_back(path);
  for (const QString& path : gone) Drop(path);
  watcher_->removeWatchedService(service);
}

void AutomationFactory::QuitSoonWhenUnused() {
  if (instances_.empty()) quitTimer_.start();
}

void AutomationFactory::LeaveBusAndQuit() {
  if (!instances_.empty()) return;
  bLeaving_ = true;
  QDBusConnection::sessionBus().unregisterService(bus::kTessaprintService);
  QCoreApplication::processEvents();
  QCoreApplication::quit();
}

int ServeAutomation(MainForm& frm, std::chrono::milliseconds firstInstanceLimit) {
  AutomationFactory factory(frm, firstInstanceLimit);
  if (!factory.Publish()) return 1;
  return QCoreApplication::exec();
}

}  // namespace tessa
