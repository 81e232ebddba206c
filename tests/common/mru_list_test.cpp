#include "common/mru_list.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/program_modes.h"
#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using Items = std::vector<std::string>;

class MruListTest : public ::testing::Test {
 protected:
  std::string Key(int i) { return ReadIniString(ini_, "mruSource", "mruSource" + std::to_string(i), "<none>"); }
  test::TempDir dir_;
  std::string ini_ = dir_.file("settings.INI");
};

TEST_F(MruListTest, KeepsItemsOldestFirstEndedByMruDone) {
  clsMRU mru;
  mru.Setup(3, ini_, "mruSource", "-1");
  for (const char* item : {"/in/a", "/in/b", "/in/c", "/IN/A", "/in/d", ""}) mru.AddUniqueItemToCollection(item);
  // "/IN/A" replaced "/in/a" and moved to the newest place; "/in/d" pushed
  // the oldest out of the full list; "" was ignored.
  EXPECT_EQ(mru.Items(), (Items{"/in/c", "/IN/A", "/in/d"}));
  EXPECT_EQ(mru.NewestFirst().front(), "/in/d");
  mru.ShutDown();
  EXPECT_EQ(Key(1), "/in/c");
  EXPECT_EQ(Key(2), "/IN/A");
  EXPECT_EQ(Key(3), "/in/d");
  EXPECT_EQ(Key(4), "MRU_DONE");

  clsMRU again;
  again.Setup(3, ini_, "mruSource", "-1");
  EXPECT_EQ(again.Items(), (Items{"/in/c", "/IN/A", "/in/d"}));
  EXPECT_TRUE(again.bItemExistsInMRU("/in/a", false));
  EXPECT_FALSE(again.bItemExistsInMRU("/in/a", true));
}

TEST_F(MruListTest, ClearedListLeavesOnlyTheTerminator) {
  for (int i = 1; i <= 3; ++i) WriteIniString(ini_, "mruSource", "mruSource" + std::to_string(i), "x" + std::to_string(i));
  clsMRU mru;
  mru.Setup(5, ini_, "mruSource", "a,b");
  EXPECT_EQ(mru.Items(), (Items{"x1", "x2", "x3"}));  // no terminator: three items; defaults unused
  mru.ClearAllItemsInList();
  mru.ShutDown();
  EXPECT_EQ(Key(1), "MRU_DONE");
  clsMRU next;
  next.Setup(5, ini_, "mruSource", "-1");
  EXPECT_EQ(next.Count(), 0);
}

TEST_F(MruListTest, DefaultsFillAnEmptySectionAndUnchangedListsAreNotWritten) {
  clsMRU mru;
  mru.Setup(5, ini_, "mruSource", "a,b,c");
  EXPECT_EQ(mru.Items(), (Items{"a", "b", "c"}));
  mru.ShutDown();  // unchanged since Setup: nothing written
  EXPECT_EQ(Key(1), "<none>");

  // Nothing is stored during a command-line run or while history is off.
  clsMRU quiet;
  quiet.Setup(5, ini_, "mruSource", "-1");
  quiet.AddUniqueItemToCollection("/x");
  for (const auto& [commandLine, clear, stored] : {std::tuple{true, false, "<none>"}, {false, true, "<none>"},
                                                   {false, false, "/x"}}) {
    bCommandLineMode = commandLine;
    quiet.mbClearHistory = clear;
    quiet.WriteCollectionToIniFile();
    bCommandLineMode = false;
    EXPECT_EQ(Key(1), stored);
  }
}

}  // namespace
}  // namespace tessa
