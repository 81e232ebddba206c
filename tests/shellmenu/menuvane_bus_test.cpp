// menuvane's commands reach ferrowick's Process on a private session bus: a
// stand-in Process owns the name there and records each call's arguments; a
// stand-in notification service takes the warnings.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <memory>

#include "platform/bus_names.h"
#include "shellmenu/bus_actions.h"
#include "platform/ini_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

constexpr const char* kIntrospection =
    "<node><interface name='" TESSA_BUS_FERROWICK_PROCESS_INTERFACE "'>"
    "<method name='ProcessFiles'><arg type='as'/><arg type='s'/><arg type='b'/><arg type='b'/><arg type='b'/>"
    "<arg type='b'/><arg type='s'/></method>"
    "<method name='AppendFiles'><arg type='as'/><arg type='s'/><arg type='s'/><arg type='b'/><arg type='b'/>"
    "<arg type='v'/></method>"
    "<method name='ConvertAndAppendFiles'><arg type='as'/><arg type='s'/><arg type='b'/><arg type='s'/>"
    "<arg type='b'/><arg type='b'/><arg type='v'/><arg type='s'/></method>"
    "</interface></node>";

constexpr const char* kNotifications =
    "<node><interface name='org.freedesktop.Notifications'>"
    "<method name='Notify'><arg type='s'/><arg type='u'/><arg type='s'/><arg type='s'/><arg type='s'/>"
    "<arg type='as'/><arg type='a{sv}'/><arg type='i'/><arg type='u' direction='out'/></method>"
    "</interface></node>";

// Owns a name on the bus at address with one object and records the calls
// (ferrowick's Process unless told otherwise).
class StandInProcess {
 public:
  explicit StandInProcess(const std::string& address, const char* service = bus::kFerrowickService,
                          const char* path = bus::kFerrowickProcessPath, const char* introspection = kIntrospection) {
    bus_ = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (!bus_) return;
    node_ = g_dbus_node_info_new_for_xml(introspection, nullptr);
    static const GDBusInterfaceVTable vtable = {OnCall, nullptr, nullptr, {}};
    g_dbus_connection_register_object(bus_, path, node_->interfaces[0], &vtable, this, nullptr, nullptr);
    GVariant* r = g_dbus_connection_call_sync(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                              "org.freedesktop.DBus", "RequestName",
                                              g_variant_new("(su)", service, 4u), nullptr,
                                              G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, nullptr);
    if (r) {
      owned_ = true;
      g_variant_unref(r);
    }
  }
  ~StandInProcess() {
    if (node_) g_dbus_node_info_unref(node_);
    if (bus_) {
      g_dbus_connection_close_sync(bus_, nullptr, nullptr);
      g_object_unref(bus_);
    }
  }
  bool owned() const { return owned_; }

  // Runs menuvane with args in env, serving the bus until it ends; its
  // stderr goes to errFile when one is named.
  int Run(const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& errFile = "") {
    const pid_t pid = test::SpawnChild(TESSA_MENUVANE, args, env, errFile);
    // The child waits for the reply, so it cannot end before it is served.
    for (int i = 0; i < 6000; ++i) {
      g_main_context_iteration(nullptr, FALSE);
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      g_usleep(10000);
    }
    return test::WaitForChild(pid, 0);
  }

  std::vector<std::string> calls;

 private:
  static void OnCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
    gchar* text = g_variant_print(parameters, FALSE);
    static_cast<StandInProcess*>(self)->calls.push_back(std::string(method) + text);
    g_free(text);
    // Notify answers with the notification's number.
    const bool bNumbered = g_dbus_method_invocation_get_method_info(invocation)->out_args[0] != nullptr;
    g_dbus_method_invocation_return_value(invocation, bNumbered ? g_variant_new("(u)", 7u) : nullptr);
  }

  GDBusConnection* bus_ = nullptr;
  GDBusNodeInfo* node_ = nullptr;
  bool owned_ = false;
};

TEST(MenuvaneBus, EachConversionVerbCallsProcessWithTheMenusArguments) {
  test::TempDir home;
  const auto env = test::ChildEnvironment(home.path().string());
  test::PrivateSessionBus bus(home.path().string(), env);
  ASSERT_FALSE(bus.address().empty());
  StandInProcess process(bus.address());
  ASSERT_TRUE(process.owned());

  const std::string a = test::WriteFile(home.path() / "p/a.jpg", "x");
  const std::string target = test::WriteFile(home.path() / "t.pdf", "x");
  std::filesystem::create_directories(home.path() / "p/sub");
  const std::string sub = home.file("p/sub");
  const std::string ini = home.file(".config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI");
  std::filesystem::create_directories(std::filesystem::path(ini).parent_path());
  ASSERT_TRUE(WriteIniString(ini, "Files", "RecentPDF", target));
  ASSERT_TRUE(WriteIniString(ini, "VemoContext", "Option_SaveToOriginalFolder", "8"));

  auto busEnv = test::ChildEnvironment(home.path().string(), {{"DBUS_SESSION_BUS_ADDRESS", bus.address()}});
  for (const char* verb : {"CONVERTMULTITOMULTI", "CONVERTMULTITOSINGLE", "APPEND"}) {
    EXPECT_EQ(process.Run({"invoke", verb, a, sub}, busEnv), 0) << verb;
  }
  // A path relative to the command's working folder reaches ferrowick whole.
  const std::string relative = std::filesystem::relative(a, std::filesystem::current_path()).string();
  EXPECT_EQ(process.Run({"invoke", "CONVERTMULTITOMULTI", relative, sub}, busEnv), 0);
  const std::string list = "['', '" + a + "', '" + sub + "/']";
  const std::string t = "'\" /T \"" + target + "\" /F -1 /+'";
  ASSERT_EQ(process.calls.size(), 4u);
  EXPECT_EQ(process.calls[3], process.calls[0]);
  EXPECT_EQ(process.calls[0], "ProcessFiles(" + list + ", 'ONVERTMULTITOMULTI', false, false, false, true, '" + a + "')");
  EXPECT_EQ(process.calls[1], "ConvertAndAppendFiles(" + list + ", " + t + ", false, '" + target +
                                  "', false, false, <8>, '" + a + "')");
  EXPECT_EQ(process.calls[2], "AppendFiles(" + list + ", " + t + ", '" + target + "', false, false, <8>)");

  // Without the service, the command says so and fails.
  auto noBus = test::ChildEnvironment(home.path().string(), {{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"}});
  const auto r = test::RunChild(TESSA_MENUVANE, {"invoke", "CONVERTMULTITOMULTI", a}, noBus);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("menuvane:"), std::string::npos);
}

// The warning of a gone append target is a desktop notification; only
// without a notification service does it go to stderr.
TEST(MenuvaneBus, AMissingAppendTargetIsANotificationElseAStderrLine) {
  test::TempDir home;
  const auto env = test::ChildEnvironment(home.path().string());
  test::PrivateSessionBus bus(home.path().string(), env);
  ASSERT_FALSE(bus.address().empty());
  const std::string a = test::WriteFile(home.path() / "a.jpg", "x");
  const std::string gone = home.file("gone & <old>.pdf");
  const std::string ini = home.file(".config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI");
  std::filesystem::create_directories(std::filesystem::path(ini).parent_path());
  const auto busEnv = test::ChildEnvironment(home.path().string(), {{"DBUS_SESSION_BUS_ADDRESS", bus.address()}});
  const std::string text = "File " + gone + " is no longer there. Please select another file to append to.";

  for (const bool bService : {false, true}) {
    SCOPED_TRACE(bService ? "a notification service" : "no notification service");
    std::unique_ptr<StandInProcess> service;
    if (bService) {
      service = std::make_unique<StandInProcess>(bus.address(), "org.freedesktop.Notifications",
                                                 "/org/freedesktop/Notifications", kNotifications);
      ASSERT_TRUE(service->owned());
    }
    ASSERT_TRUE(WriteIniString(ini, "Files", "RecentPDF", gone));
    StandInProcess process(bus.address());
    EXPECT_EQ(process.Run({"invoke", "APPEND", a}, busEnv, home.file("err")), 0);
    EXPECT_TRUE(process.calls.empty());
    EXPECT_EQ(ReadIniString(ini, "Files", "RecentPDF", "?"), "");
    const std::string err = test::ReadFile(home.file("err"));
    if (!bService) {
      EXPECT_EQ(err, "File Missing: " + text + "\n");
      continue;
    }
    EXPECT_EQ(err, "");
    ASSERT_EQ(service->calls.size(), 1u);
    EXPECT_EQ(service->calls[0], "Notify('Tessaprint', 0, 'dialog-warning', 'File Missing', 'File " +
                                     home.file("gone &amp; &lt;old&gt;.pdf") +
                                     " is no longer there. Please select another file to append to.', [], "
                                     "{'urgency': <byte 0x01>, 'desktop-entry': <'com.brindlecove.Tessaprint'>}, -1)");

    // The file manager's module does not wait: the same notification goes
    // out through its main loop (here this process's).
    test::ScopedHome scoped(home.path().string());
    test::ScopedEnv session("DBUS_SESSION_BUS_ADDRESS", bus.address());
    ASSERT_TRUE(WriteIniString(ini, "Files", "RecentPDF", gone));
    clsContextMenu menu(GetINIFile());
    ASSERT_TRUE(menu.Initialize({a}));
    BusContextMenuActions actions("", false);
    menu.InvokeVerb("APPEND", actions);
    for (int i = 0; i < 3000 && service->calls.size() < 2; ++i) {
      g_main_context_iteration(nullptr, FALSE);
      g_usleep(10000);
    }
    ASSERT_EQ(service->calls.size(), 2u);
    EXPECT_EQ(service->calls[1], service->calls[0]);
  }
}

}  // namespace
}  // namespace tessa
