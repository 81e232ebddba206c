#include "platform/user_interface.h"

#include <cstdio>

namespace tessa {

int HeadlessUserInterface::CautiousAnswer(int style) {
  switch (style & 7) {
    case vbOKCancel: return vbCancel;
    case vbAbortRetryIgnore: return vbAbort;
    case vbYesNoCancel: return vbCancel;
    case vbYesNo: return vbNo;
    case vbRetryCancel: return vbCancel;
    default: return vbOK;
  }
}

int HeadlessUserInterface::MsgBox(const std::string& prompt, int style, const std::string& title) {
  std::string line = title.empty() ? prompt : title + ": " + prompt;
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::fprintf(stderr, "%s\n", line.c_str());
  return CautiousAnswer(style);
}

namespace {
HeadlessUserInterface& Headless() {
  static HeadlessUserInterface headless;
  return headless;
}
UserInterface* g_current = nullptr;
}  // namespace

UserInterface& CurrentUserInterface() { return g_current ? *g_current : Headless(); }

void SetUserInterface(UserInterface* ui) { g_current = ui; }

}  // namespace tessa
