// Where this system keeps the folders that programs ask for by their
// special-folder number: the XDG folders of the user, the home folder and
// the system's program folders.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Special-folder numbers the program asks for.
enum SpecialFolderId : long {
  CSIDL_PERSONAL = 5,               // the user's documents
  CSIDL_APPDATA = 26,               // per-user settings (roaming)
  CSIDL_LOCAL_APPDATA = 28,         // per-user data (local)
  CSIDL_COMMON_APPDATA = 35,        // shared data (none here)
  CSIDL_WINDOWS = 36,               // the system folder
  CSIDL_PROGRAM_FILES = 38,         // installed programs
  CSIDL_PROFILE = 40,               // the user's home
  CSIDL_PROGRAM_FILESX86 = 42,      // installed programs (second set)
  CSIDL_COMMON_DOCUMENTS = 46,      // shared documents (none here)
};

enum class SpecialFolderStatus {
  Found,         // path holds the folder (it may not exist yet)
  DoesNotExist,  // the folder cannot be determined (no home folder)
  NotValid,      // the number names no folder on this system
};

struct SpecialFolderLookup {
  SpecialFolderStatus status = SpecialFolderStatus::NotValid;
  std::string path;  // written with "/", no trailing "/"
};

// Looks a special folder up:
//   26 -> $XDG_CONFIG_HOME (default ~/.config)
//   28 -> $XDG_DATA_HOME (default ~/.local/share)
//   40 -> $HOME
//    5 -> XDG_DOCUMENTS_DIR of user-dirs.dirs, else ~/Documents
//   36 -> /usr;  38 and 42 -> /opt
// Any other number (35 and 46 among them) is not valid here.
SpecialFolderLookup LookUpSpecialFolder(long csidl);

// The user's home folder: $HOME, else the password database's entry; ""
// when neither knows it.
std::string HomeFolder();

// The user's folder for state that programs keep between runs:
// $XDG_STATE_HOME (default ~/.local/state); "" without a home folder.
std::string UserStateFolder();

// The folder that holds the running program ("" when unknown).
std::string ProgramFolder();

}  // namespace tessa
