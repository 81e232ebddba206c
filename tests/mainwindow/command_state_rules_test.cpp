// The command-state rules that need no window: an armed schedule, and the
// move items left alone while code fills the grid.
#include "mainwindow/command_state.h"

#include <gtest/gtest.h>

namespace tessa {
namespace {

TEST(CommandStateRules, AnArmedScheduleLeavesPauseAndTheSaveItems) {
  CommandState state;
  CommandStateInputs in;
  in.bScheduleArmed = true;
  in.rows = 5;
  in.row = 2;
  in.currentNumberCell = "2";
  DecideCommandState(in, state);
  for (const char* off : {"keyNew", "keyOpen", "keyAdd", "keyRemove", "keyUpdate", "keyRewind", "keyConvert",
                          "mnuBeginConversionJob", "cmdAdd", "mnuPopupDelete"})
    EXPECT_FALSE(state.enabled[off]) << off;
  for (const char* on : {"keyPause", "mnuPause", "cmdPause", "KeySave", "KeySaveAs", "mnuSaveConversionJob"})
    EXPECT_TRUE(state.enabled[on]) << on;
}

TEST(CommandStateRules, MoveItemsKeepTheirStateWhileLoadingOrBusy) {
  CommandState state;
  CommandStateInputs in;
  in.rows = 6;
  in.row = 1;
  in.currentNumberCell = "1";
  DecideCommandState(in, state);
  ASSERT_FALSE(state.visible["mnuMoveUp"]);
  const auto before = state.visible;
  in.row = 3;  // a middle task would show every move item...
  for (auto change : {&CommandStateInputs::bGridUpdateByCode, &CommandStateInputs::bRunning,
                      &CommandStateInputs::bScheduleArmed}) {
    CommandStateInputs busy = in;
    busy.*change = true;
    DecideCommandState(busy, state);
    EXPECT_EQ(state.visible, before);  // ...but not while loading or busy
  }
  DecideCommandState(in, state);
  EXPECT_TRUE(state.visible["mnuMoveUp"]);
}

}  // namespace
}  // namespace tessa
