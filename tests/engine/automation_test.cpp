#include "engine/automation.h"

#include <gtest/gtest.h>

#include "engine/command_line_runner.h"

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
}

}  // namespace
}  // namespace tessa
