#include "support/scripted_user_interface.h"

namespace tessa::test {

ScriptedUserInterface::ScriptedUserInterface() { SetUserInterface(this); }

ScriptedUserInterface::~ScriptedUserInterface() { SetUserInterface(nullptr); }

int ScriptedUserInterface::MsgBox(const std::string& prompt, int style, const std::string& title) {
  boxes.push_back({prompt, style, title});
  if (answers_.empty()) return HeadlessUserInterface::CautiousAnswer(style);
  const int a = answers_.front();
  answers_.pop_front();
  return a;
}

}  // namespace tessa::test
