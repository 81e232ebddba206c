// menuvane's commands reach ferrowick's Process on a private session bus: a
// stand-in Process owns the name there and records each call's arguments; a
// stand-in notification service takes the warnings.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <memory>

#include "bus_stand_in.h"
#include "platform/ini_file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::StandInProcess;

// Runs menuvane with args in env, serving the bus until it ends; its stderr
// goes to errFile when one is named.
int RunMenuvane(const std::vector<std::string>& args, const std::vector<std::string>& env,
                const std::string& errFile = "") {
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
    EXPECT_EQ(RunMenuvane({"invoke", verb, a, sub}, busEnv), 0) << verb;
  }
  // A path relative to the command's working folder reaches ferrowick whole.
  const std::string relative = std::filesystem::relative(a, std::filesystem::current_path()).string();
  EXPECT_EQ(RunMenuvane({"invoke", "CONVERTMULTITOMULTI", relative, sub}, busEnv), 0);
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
                                                 "/org/freedesktop/Notifications", test::kNotifications);
      ASSERT_TRUE(service->owned());
    }
    ASSERT_TRUE(WriteIniString(ini, "Files", "RecentPDF", gone));
    StandInProcess process(bus.address());
    EXPECT_EQ(RunMenuvane({"invoke", "APPEND", a}, busEnv, home.file("err")), 0);
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
  }
}

}  // namespace
}  // namespace tessa
