// The frame's section [frmMainMDI] of the settings file: the first-time flag,
// the window state and the normal placement in twips (15 twips a pixel).
// Reading and writing do nothing in command-line mode.
#pragma once

namespace tessa {

inline constexpr int kTwipsPerPixel = 15;

struct FrameSettings {
  bool bFirstTimeUser = true;
  int WindowState = 0;  // 0 normal, 1 minimised, 2 maximised
  int Left = 150;       // twips
  int Top = 150;
  int Width = 13000;
  int Height = 9420;
};

// The stored section; defaults for what is missing or not a number.
// bFirstTimeUser is true exactly when its text is "True" (case-sensitive).
FrameSettings ReadFrameSettings();

// Writes bFirstTimeUser and WindowState, and the placement only when the
// state is 0 (normal); nothing in command-line mode.
void SaveFrameSettings(const FrameSettings& s);

}  // namespace tessa
