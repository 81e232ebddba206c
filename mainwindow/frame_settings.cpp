#include "mainwindow/frame_settings.h"

#include "common/program_modes.h"
#include "common/settings_file.h"

namespace tessa {

namespace {

constexpr const char* kSection = "frmMainMDI";

}  // namespace

FrameSettings ReadFrameSettings() {
  FrameSettings s;
  if (bCommandLineMode) return s;
  s.bFirstTimeUser = ReadSetting(kSection, "bFirstTimeUser", "True") == "True";
  s.WindowState = static_cast<int>(ReadSettingLong(kSection, "WindowState", 0));
  if (s.WindowState < 0 || s.WindowState > 2) s.WindowState = 0;
  s.Left = static_cast<int>(ReadSettingLong(kSection, "Left", s.Left));
  s.Top = static_cast<int>(ReadSettingLong(kSection, "Top", s.Top));
  s.Width = static_cast<int>(ReadSettingLong(kSection, "Width", s.Width));
  s.Height = static_cast<int>(ReadSettingLong(kSection, "Height", s.Height));
  return s;
}

void SaveFrameSettings(const FrameSettings& s) {
  if (bCommandLineMode) return;
  WriteSetting(kSection, "bFirstTimeUser", s.bFirstTimeUser ? "True" : "False");
  WriteSettingLong(kSection, "WindowState", s.WindowState);
  if (s.WindowState != 0) return;
  WriteSettingLong(kSection, "Left", s.Left);
  WriteSettingLong(kSection, "Top", s.Top);
  WriteSettingLong(kSection, "Width", s.Width);
  WriteSettingLong(kSection, "Height", s.Height);
}

}  // namespace tessa
