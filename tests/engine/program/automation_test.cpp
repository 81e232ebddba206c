#include "engine/program/automation.h"

#include <gtest/gtest.h>

#include "engine/program/automation_call.h"
#include "engine/program/command_line_runner.h"
#include "engine/main_form.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

TEST(AutomationMarker, EveryOccurrenceIsRemovedExactCaseOnly) {
  std::string command = "/S a.jpg /bUsingShellExtender /T b.pdf/bUsingShellExtender";
  EXPECT_TRUE(RemoveMarker(command, kShellExtenderMarker));
  EXPECT_EQ(command, "/S a.jpg  /T b.pdf");
  std::string other = "/S a.jpg /busingshellextender";
  EXPECT_FALSE(RemoveMarker(other, kShellExtenderMarker));
  EXPECT_EQ(other, "/S a.jpg /busingshellextender");
}

TEST(AutomationMarker, AppendOnlySwitchesOnAStoredFalseRecord) {
  const std::string stored = "FALSE^me^^^^Title^2^1-3^";
  EXPECT_EQ(StoredOptionsForCommand(stored, "/S a /T b /+"), "TRUE^me^^^^Title^2^1-3^");
  EXPECT_EQ(StoredOptionsForCommand(stored, "/S a /T b"), stored);
  // A stored record that already appends keeps appending without "/+".
  EXPECT_EQ(StoredOptionsForCommand("TRUE^^^^^^0^*^", "/S a /T b"), "TRUE^^^^^^0^*^");
  EXPECT_EQ(StoredOptionsForCommand(kDefaultStoredAdvancedOptions, "/+").substr(0, 5), "TRUE^");
}

TEST(CommandLineRunner, ElapsedSecondsHaveOneDecimalAndNoLocale) {
  EXPECT_EQ(FormatElapsedSeconds(300), "0.3");
  EXPECT_EQ(FormatElapsedSeconds(0), "0.0");
  EXPECT_EQ(FormatElapsedSeconds(1249), "1.2");
  EXPECT_EQ(FormatElapsedSeconds(1250), "1.3");
  EXPECT_EQ(FormatElapsedSeconds(123456), "123.5");
  EXPECT_EQ(FormatElapsedSeconds(-5), "0.0");
  EXPECT_EQ(FormatElapsedSeconds(250), "0.3");
}

TEST(OneDecimal, RoundsHalfAwayFromZeroOnTheDecimalValue) {
  const std::pair<double, const char*> cases[] = {
      {6.25, "6.3"},   {0.25, "0.3"}, {100.0 / 16, "6.3"}, {100.0 / 3, "33.3"}, {9.95, "10.0"},
      {99.96, "100.0"}, {0.04, "0.0"}, {12.0, "12.0"},      {-0.25, "-0.3"},     {1e300 * 1e300, "0.0"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatOneDecimal(value), text) << value;
}

// A call starts from an empty job: a job that an earlier /J call loaded must
// not lend its option flags to a later call's log rows.
TEST(AutomationCall, EachCallStartsFromAnEmptyJob) {
  test::TempDir dir;
  test::ScopedEnv home("HOME", dir.path().string());
  test::ScopedEnv config("XDG_CONFIG_HOME", dir.file("config"));
  const std::string broken = test::WriteFile(dir.path() / "in" / "broken.jpg", "not a picture");
  const std::string job = test::WriteFile(dir.path() / "job.ZOL",
                                          "RG\tFALSE^^^^^^0^*^\t1\tC\t" + broken + "\t-1\t\t" +
                                              dir.file("out/a.pdf") + "\t100\tPDF\t\t\r\n\t\t*\t\t\t\t\t\t\t\t\t\r\n");
  MainForm frm;
  StartAutomationInstance(frm);
  RunAutomationCall(frm, "/J " + job, false);
  const AutomationCallOutcome second =
      RunAutomationCall(frm, "/S " + broken + " /T " + dir.file("out/b.pdf") + " /F -1 /B " + dir.file("failed.ZOL"), false);
  ASSERT_TRUE(second.parsed);
  EXPECT_NE(second.result, 0);
  ASSERT_GE(frm.fgLog.Rows(), 3);
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 0).find('R'), std::string::npos) << frm.fgLog.TextMatrix(1, 0);
  EXPECT_EQ(test::ReadFile(dir.file("failed.ZOL")).substr(0, 2).find('R'), std::string::npos);
}

}  // namespace
}  // namespace tessa
