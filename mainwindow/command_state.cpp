#include "mainwindow/command_state.h"

namespace tessa {

void DecideCommandState(const CommandStateInputs& in, CommandState& state) {
  auto& on = state.enabled;
  const bool busy = in.bScheduleArmed || in.bRunning;
  if (busy) {
    on["keyPause"] = true;
    for (const char* key : {"keyConvert", "keyRewind", "keyAdd", "keyRemove", "keyUpdate", "keyNew", "keyOpen"})
      on[key] = false;
  } else {
    on["keyOpen"] = on["keyNew"] = on["keyConvert"] = true;
    on["keyPause"] = false;
    on["keyRewind"] = !in.firstPassCell.empty() || in.lResumeFileIndex != 0;
    on["keyAdd"] = true;
    const bool taskRow = !in.currentNumberCell.empty() && in.row > 0 && in.row < in.rows - 1;
    on["keyRemove"] = taskRow;
    on["keyUpdate"] = taskRow && in.bCurrentActionItemDirty;
    if (in.tab == 2) on["keyRemove"] = on["keyUpdate"] = on["keyAdd"] = false;
  }
  on["KeySave"] = on["KeySaveAs"] = on["mnuSaveConversionJob"] = in.rows > 1;
  if (in.rows == 3) on["keyRewind"] = on["keyRemove"] = false;

  if (!busy && !in.bGridUpdateByCode) {
    auto& shown = state.visible;
    auto set = [&](bool menu, bool up, bool down) {
      shown["mnuMoveConversionTask"] = menu;
      shown["mnuPopupMoveUp"] = shown["mnuPopupMoveFirst"] = up;
      shown["mnuPopupMoveDown"] = shown["mnuPopupMoveLast"] = down;
    };
    auto setMenu = [&](bool up, bool down) {
      shown["mnuMoveUp"] = shown["mnuMoveFirst"] = up;
      shown["mnuMoveDown"] = shown["mnuMoveLast"] = down;
    };
    if (in.rows <= 3 || in.row == in.rows - 1) {
      set(false, false, false);
    } else if (in.row == 1) {
      set(true, false, true);
      setMenu(false, true);
    } else if (in.row < in.rows - 2) {
      set(true, true, true);
      setMenu(true, true);
    } else {
      set(true, true, false);
      setMenu(true, false);
    }
  }
  for (const char* item : kMoveItems) state.visible.try_emplace(item, true);

  on["mnuPopupDelete"] = on["keyRemove"];
  on["KeySaveLogAsConversionJob"] = in.logRows > 2;
  on["mnuSaveLogAsConversionJob"] = on["KeySaveLogAsConversionJob"];
  on["mnuSaveConversionJob"] = on["KeySave"];
  on["mnuSaveConversionJobAs"] = on["KeySaveAs"];
  on["mnuNewConversionJob"] = on["keyNew"];
  on["mnuBeginConversionJob"] = on["keyConvert"];
  on["mnuAddConversionJob"] = on["keyAdd"];
  on["mnuRemoveConversionJob"] = on["keyRemove"];
  on["mnuUpdateConversionJob"] = on["keyUpdate"];
  on["mnuPause"] = on["keyPause"];
  on["mnuRewindConversionJob"] = on["keyRewind"];
  on["cmdUpdate"] = on["mnuUpdateConversionJob"];
  on["cmdRemove"] = on["mnuRemoveConversionJob"];
  on["cmdAdd"] = on["mnuAddConversionJob"];
  on["cmdPause"] = on["mnuPause"];
}

}  // namespace tessa
