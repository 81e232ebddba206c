// A message box with the buttons, icon and default button of a box style
// (platform/user_interface.h), answering with the button pressed.
#pragma once

#include <string>

class QWidget;

namespace tessa {

// Shows prompt modally over parent (nullptr: none) and returns the result
// code of the button pressed (vbOK, vbCancel, ...); Esc gives Cancel or No.
int ShowMessageBox(QWidget* parent, const std::string& prompt, int style, const std::string& title);

}  // namespace tessa
