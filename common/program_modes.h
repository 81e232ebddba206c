// How the program was started, as the whole program needs to know it.
#pragma once

namespace tessa {

// True while a command line or an automation call is parsed and run: no
// window is shown, no dialog opens and no settings are saved.
inline bool bCommandLineMode = false;

// True once the automation class was created.
inline bool bAutomationMode = false;

}  // namespace tessa
