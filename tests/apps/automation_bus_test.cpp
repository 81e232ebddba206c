// The automation class over a real session bus: the bus starts tessaprint
// from the build tree's activation file, and the test talks to it as any
// client would.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <memory>

#include "child_process.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

constexpr const char* kService = "com.brindlecove.Tessaprint";
constexpr const char* kFactoryPath = "/com/brindlecove/Tessaprint";
constexpr const char* kFactoryInterface = "com.brindlecove.Tessaprint";
constexpr const char* kInstanceInterface = "com.brindlecove.Tessaprint.clsTessalumen";

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "test_apps";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// One client connection to a private bus.
class Client {
 public:
  Client(const std::string& address, const QString& name)
      : name_(name), bus_(QDBusConnection::connectToBus(QString::fromStdString(address), name)) {}
  ~Client() { QDBusConnection::disconnectFromBus(name_); }

  QDBusConnection& bus() { return bus_; }

  // Creates an automation instance (starting the program when needed) and
  // returns an interface on it.
  std::unique_ptr<QDBusInterface> CreateInstance() {
    QDBusInterface factory(kService, kFactoryPath, kFactoryInterface, bus_);
    factory.setTimeout(30000);
    QDBusReply<QDBusObjectPath> path = factory.call("CreateInstance");
    if (!path.isValid()) {
      ADD_FAILURE() << "CreateInstance: " << path.error().message().toStdString();
      return nullptr;
    }
    auto instance = std::make_unique<QDBusInterface>(kService, path.value().path(), kInstanceInterface, bus_);
    // A run may take long; never the default time-out.
    instance->setTimeout(10 * 60 * 1000);
    return instance;
  }

  // The process that owns the service name; 0 when none does.
  pid_t ServicePid() {
    QDBusReply<uint> pid = bus_.interface()->servicePid(kService);
    return pid.isValid() ? static_cast<pid_t>(pid.value()) : 0;
  }

  bool ServiceHasOwner() { return bus_.interface()->isServiceRegistered(kService).value(); }

 private:
  QString name_;
  QDBusConnection bus_;
};

struct CallResult {
  int code = 1;
  QString back;
};

CallResult DoCommandLine(QDBusInterface& instance, const QString& command) {
  QDBusMessage reply = instance.call("DoCommandLine", command);
  CallResult r;
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
    ADD_FAILURE() << "DoCommandLine failed: " << reply.errorMessage().toStdString();
    return r;
  }
  r.code = reply.arguments().at(0).toInt();
  r.back = reply.arguments().at(1).toString();
  return r;
}

class AutomationBus : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    home_ = std::make_unique<test::TempDir>();
    bus_ = std::make_unique<test::PrivateSessionBus>(home_->path().string(),
                                                      test::ChildEnvironment(home_->path().string()));
    ASSERT_FALSE(bus_->address().empty()) << "dbus-run-session did not start";
  }
  void TearDown() override {
    bus_.reset();
    home_.reset();
  }

  std::string home() const { return home_->path().string(); }
  const std::string& address() const { return bus_->address(); }

 private:
  std::unique_ptr<test::TempDir> home_;
  std::unique_ptr<test::PrivateSessionBus> bus_;
};

TEST_F(AutomationBus, EmptyAndIncompleteCommandsAnswerWithCodesAndOneOnError) {
  Client client(address(), "empty-and-incomplete");
  auto instance = client.CreateInstance();
  ASSERT_TRUE(instance);
  QSignalSpy errors(instance.get(), SIGNAL(OnError(int, QString)));

  CallResult empty = DoCommandLine(*instance, "");
  EXPECT_EQ(empty.code, -2);
  Pump(300);
  ASSERT_EQ(errors.count(), 1);
  EXPECT_EQ(errors.at(0).at(0).toInt(), -2);
  EXPECT_EQ(errors.at(0).at(1).toString(), "Command line is empty or invalid");

  CallResult noOptions = DoCommandLine(*instance, "just some words");
  EXPECT_EQ(noOptions.code, -3);
  EXPECT_EQ(noOptions.back, "just some words");
  Pump(300);
  ASSERT_EQ(errors.count(), 2);
  EXPECT_EQ(errors.at(1).at(0).toInt(), -3);
  EXPECT_EQ(errors.at(1).at(1).toString(), "Missing required command line argument(s)");

  CallResult markerOnly = DoCommandLine(*instance, "/bUsingShellExtender");
  EXPECT_EQ(markerOnly.code, -2);
  EXPECT_EQ(markerOnly.back, "");
  instance->call("Release");
}

TEST_F(AutomationBus, ProgramEndsAfterTheLastRelease) {
  Client client(address(), "last-release");
  auto first = client.CreateInstance();
  auto second = client.CreateInstance();
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->path(), second->path());
  const pid_t pid = client.ServicePid();
  ASSERT_GT(pid, 0);

  first->call("Release");
  Pump(600);
  EXPECT_TRUE(client.ServiceHasOwner()) << "one instance is still alive";
  EXPECT_EQ(DoCommandLine(*second, "").code, -2);

  second->call("Release");
  EXPECT_TRUE(test::WaitForProcessEnd(pid, 5000));
  EXPECT_FALSE(client.ServiceHasOwner());
}

TEST_F(AutomationBus, InstanceDiesWhenItsClientLeavesTheBus) {
  Client watcher(address(), "watcher");
  pid_t pid = 0;
  {
    Client leaving(address(), "leaving");
    auto instance = leaving.CreateInstance();
    ASSERT_TRUE(instance);
    pid = leaving.ServicePid();
    ASSERT_GT(pid, 0);
  }  // the client disconnects without Release
  EXPECT_TRUE(test::WaitForProcessEnd(pid, 5000));
  EXPECT_FALSE(watcher.ServiceHasOwner());
}

}  // namespace
}  // namespace tessa
