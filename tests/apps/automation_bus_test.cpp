// The automation class over a real session bus: the bus starts tessaprint
// from the build tree's activation file, and the test talks to it as any
// client would.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <filesystem>
#include <memory>

#include "platform/bus_names.h"
#include "support/child_process.h"
#include "support/pdf_report.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace tessa {
namespace {

constexpr const char* kService = bus::kTessaprintService;
constexpr const char* kFactoryPath = bus::kTessaprintFactoryPath;
constexpr const char* kFactoryInterface = bus::kTessaprintFactoryInterface;
constexpr const char* kInstanceInterface = bus::kTessaprintInstanceInterface;

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

// Only a real fault runs this out: a busy machine may take long to start
// the program.
constexpr int kPatienceMs = static_cast<int>(test::kPatience.count());

// Runs the event loop until condition holds or a generous limit passes (a
// busy machine only makes it slower); true when it held.
template <typename Condition>
bool PumpUntil(Condition condition, int ms = kPatienceMs) {
  QElapsedTimer t;
  t.start();
  while (!condition()) {
    if (t.elapsed() >= ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
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
    factory.setTimeout(kPatienceMs);
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
  PumpUntil([&] { return errors.count() >= 1; });
  ASSERT_EQ(errors.count(), 1);
  EXPECT_EQ(errors.at(0).at(0).toInt(), -2);
  EXPECT_EQ(errors.at(0).at(1).toString(), "Command line is empty or invalid");

  CallResult noOptions = DoCommandLine(*instance, "just some words");
  EXPECT_EQ(noOptions.code, -3);
  EXPECT_EQ(noOptions.back, "just some words");
  PumpUntil([&] { return errors.count() >= 2; });
  ASSERT_EQ(errors.count(), 2);
  EXPECT_EQ(errors.at(1).at(0).toInt(), -3);
  EXPECT_EQ(errors.at(1).at(1).toString(), "Missing required command line argument(s)");

  CallResult markerOnly = DoCommandLine(*instance, "/bUsingShellExtender");
  EXPECT_EQ(markerOnly.code, -2);
  EXPECT_EQ(markerOnly.back, "");
  EXPECT_EQ(DoCommandLine(*instance, "   ").code, -3) << "blanks are not an empty command";
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
  EXPECT_TRUE(test::WaitForProcessEnd(pid, kPatienceMs));
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
  EXPECT_TRUE(test::WaitForProcessEnd(pid, kPatienceMs));
  EXPECT_FALSE(watcher.ServiceHasOwner());
}

TEST_F(AutomationBus, AClientThatLeavesBeforeItsInstanceIsMadeKeepsNoInstance) {
  // A job that keeps the program busy for a second.
  const std::string job = test::WriteFile(
      home() + "/sleep.ZOL",
      "\t0^1^30\t1\tS60\t/bin/sleep\t-12345678\t\t1\t-12345678\t\t\t\r\n\t\t*\t\t\t\t\t\t\t\t\t\r\n");
  Client busy(address(), "busy");
  auto instance = busy.CreateInstance();
  ASSERT_TRUE(instance);
  const pid_t pid = busy.ServicePid();
  ASSERT_GT(pid, 0);
  QDBusPendingCall run = instance->asyncCall("DoCommandLine", QString::fromStdString("/J " + job));
  ASSERT_TRUE(PumpUntil([&] { return test::HasChildProcess(pid); })) << "the job's program runs";

  // Meanwhile another client asks for an instance and is gone before the
  // program gets to the request.
  const auto asked = test::RunCommand("DBUS_SESSION_BUS_ADDRESS=" + test::ShellQuote(address()) +
                                      " dbus-send --session --type=method_call --dest=" + kService + " " +
                                      kFactoryPath + " " + kFactoryInterface + ".CreateInstance");
  ASSERT_EQ(asked.exitCode, 0);

  run.waitForFinished();
  QDBusPendingReply<int, QString> reply = run;
  ASSERT_TRUE(reply.isValid()) << reply.error().message().toStdString();
  EXPECT_EQ(reply.argumentAt<0>(), 0);
  Pump(300);
  instance->call("Release");
  EXPECT_TRUE(test::WaitForProcessEnd(pid, kPatienceMs)) << "an instance of the client that left keeps the program";
}

TEST_F(AutomationBus, ACallWaitsUntilTheRunningCallHasReturned) {
  const std::string job = test::WriteFile(
      home() + "/sleep.ZOL",
      "\t0^1^30\t1\tS60\t/bin/sleep\t-12345678\t\t1\t-12345678\t\t\t\r\n\t\t*\t\t\t\t\t\t\t\t\t\r\n");
  Client first(address(), "first");
  Client second(address(), "second");
  auto running = first.CreateInstance();
  auto waiting = second.CreateInstance();
  ASSERT_TRUE(running && waiting);
  const pid_t pid = first.ServicePid();
  QElapsedTimer clock;
  clock.start();
  QDBusPendingCall run = running->asyncCall("DoCommandLine", QString::fromStdString("/J " + job));
  ASSERT_TRUE(PumpUntil([&] { return test::HasChildProcess(pid); })) << "the job's program runs";
  // The run yields while its program sleeps; the second call is not served
  // inside it.
  EXPECT_EQ(DoCommandLine(*waiting, "").code, -2);
  EXPECT_GE(clock.elapsed(), 900);
  run.waitForFinished();
  const QDBusPendingReply<int, QString> reply = run;
  EXPECT_EQ(reply.argumentAt<0>(), 0);
  running->call("Release");
  waiting->call("Release");
}

TEST_F(AutomationBus, StartedWithEmbeddingItWaitsForItsInstanceAndEndsAfterIt) {
  const auto env = test::ChildEnvironment(home(), {{"DBUS_SESSION_BUS_ADDRESS", address()}});
  const pid_t server = test::SpawnChild(test::TessaprintPath(), {"-embed"}, env);  // the marker in any case
  ASSERT_GT(server, 0);
  Client client(address(), "embedding");
  PumpUntil([&] { return client.ServiceHasOwner(); });
  ASSERT_TRUE(client.ServiceHasOwner());
  Pump(300);
  EXPECT_EQ(client.ServicePid(), server) << "still up, serving the bus";

  // A second start finds the name taken and ends at once.
  EXPECT_EQ(test::WaitForChild(test::SpawnChild(test::TessaprintPath(), {"-EMBEDDING"}, env), kPatienceMs), 1);

  auto instance = client.CreateInstance();
  ASSERT_TRUE(instance);
  instance->call("Release");
  EXPECT_EQ(test::WaitForChild(server, kPatienceMs), 0);
}

// The automation class converting real files.
class AutomationConversions : public AutomationBus {
 protected:
  void SetUp() override {
    AutomationBus::SetUp();
    namespace fs = std::filesystem;
    fs::create_directories(work("in"));
    fs::create_directories(work("out"));
    fs::copy_file(TESSA_BINARY_DIR "/share/tessaprint/Demo Data/Sunrise.jpg", work("in/Sunrise.jpg"));
    test::WriteFile(work("in/broken.jpg"), "this is not a picture at all");
    test::WriteFile(work("out/letter.pdf"), "This is a letter, not a PDF.\n");
  }

  std::string work(const std::string& name) const { return home() + "/work/" + name; }
  QString q(const std::string& text) const { return QString::fromStdString(text); }

  // Pages of a PDF as pdfinfo sees them; -1 when it cannot be read.
  static int Pages(const std::string& pdf) {
    const std::string pages = Info(pdf, "Pages");
    return pages.empty() ? -1 : std::stoi(pages);
  }
  static std::string Info(const std::string& pdf, const std::string& field) {
    std::string v = test::InfoField(test::PdfInfo(pdf), field);
    while (!v.empty() && v.back() == ' ') v.pop_back();
    return v;
  }
};

TEST_F(AutomationConversions, RunCodesComeBackAsResults) {
  Client client(address(), "conversions");
  auto instance = client.CreateInstance();
  ASSERT_TRUE(instance);
  QSignalSpy errors(instance.get(), SIGNAL(OnError(int, QString)));

  EXPECT_EQ(DoCommandLine(*instance, q("/S " + work("in/Sunrise.jpg") + " /T " + work("out/good.pdf"))).code, 0);
  EXPECT_EQ(Pages(work("out/good.pdf")), 1);
  EXPECT_EQ(DoCommandLine(*instance, q("/S \\bin\\sleep /T 1 /P 60 /E 0^0^5")).code, 0);  // ended in its wait
  // An image that cannot be read: the file's own code.
  EXPECT_EQ(DoCommandLine(*instance, q("/S " + work("in/broken.jpg") + " /T " + work("out/bad.pdf"))).code, -5);
  // Appending to a file that is no PDF fails in general: -1 comes back as -6.
  EXPECT_EQ(DoCommandLine(*instance, q("/S " + work("in/Sunrise.jpg") + " /T " + work("out/letter.pdf") + " /+")).code,
            -6);
  // A job whose row the checks refuse ran nothing: a failed run, not 0.
  const std::string job = test::WriteFile(work("refused.ZOL"), "M\tFALSE^^^^^^0^*^\t1\tC\t" + work("in/Sunrise.jpg") +
                                                                   "\t2\t\t" + work("out/*.pdf") + "\t100\tPDF\t\t\r\n");
  EXPECT_EQ(DoCommandLine(*instance, q("/J " + job)).code, -6);
  Pump(200);
  EXPECT_EQ(errors.count(), 0);
  instance->call("Release");
}

TEST_F(AutomationConversions, ShellExtenderMarkerTakesTheStoredOptions) {
  test::WriteFile(home() + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI",
                  "[frmMain]\r\nsQuirepaneAdvancedOptions=FALSE^Stored Author^Stored Creator^" + std::string(600, 'k') +
                      "^subject^Stored Title^0^*^\r\n");
  Client client(address(), "marker");
  auto instance = client.CreateInstance();
  ASSERT_TRUE(instance);
  const std::string command = "/S " + work("in/Sunrise.jpg") + " /T " + work("out/stored.pdf") +
                              " /F -1 /+ /A Command Author /bUsingShellExtender";
  CallResult first = DoCommandLine(*instance, q(command));
  EXPECT_EQ(first.code, 0);
  EXPECT_FALSE(first.back.contains("/bUsingShellExtender"));
  EXPECT_TRUE(first.back.contains("/A Command Author"));
  EXPECT_EQ(Info(work("out/stored.pdf"), "Author"), "Stored Author");
  EXPECT_EQ(Info(work("out/stored.pdf"), "Title"), "Stored Title");
  // "/+" switched appending on: the second call adds a page.
  EXPECT_EQ(DoCommandLine(*instance, q(command)).code, 0);
  EXPECT_EQ(Pages(work("out/stored.pdf")), 2);
  // A "/+" inside a path is no append option: the second call replaces.
  std::filesystem::create_directories(work("+raw"));
  const QString raw = q("/S " + work("in/Sunrise.jpg") + " /T " + work("+raw/r.pdf") + " /bUsingShellExtender");
  for (int call = 0; call < 2; ++call) EXPECT_EQ(DoCommandLine(*instance, raw).code, 0);
  EXPECT_EQ(Pages(work("+raw/r.pdf")), 1);
  instance->call("Release");
}

TEST_F(AutomationConversions, EachCallLogsOnlyItsOwnRows) {
  Client client(address(), "own-rows");
  auto instance = client.CreateInstance();
  ASSERT_TRUE(instance);
  EXPECT_EQ(DoCommandLine(*instance, q("/S " + work("in/broken.jpg") + " /T " + work("out/a.pdf") + " /L " +
                                       work("first.log"))).code, -5);
  test::WriteFile(work("in/other.jpg"), "not a picture either");
  EXPECT_EQ(DoCommandLine(*instance, q("/S " + work("in/other.jpg") + " /T " + work("out/b.pdf") + " /L " +
                                       work("second.log"))).code, -5);
  const std::string second = test::ReadFile(work("second.log"));
  EXPECT_NE(second.find("other.jpg"), std::string::npos) << second;
  EXPECT_EQ(second.find("broken.jpg"), std::string::npos) << second;
  // Nothing is stored in the settings file by automation calls.
  const std::string settings = test::ReadFile(home() + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI");
  EXPECT_EQ(settings.find("Language"), std::string::npos) << settings;
  instance->call("Release");
}

}  // namespace
}  // namespace tessa
