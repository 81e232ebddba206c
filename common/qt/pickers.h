// The pickers every window uses to ask for a file or a folder, and the
// placing of a dialog in the middle of the desktop's work area.
#pragma once

#include <string>

class QWidget;

namespace tessa {

// Asks for one file in a dialog owned by frm, titled sTitle, offering the
// filters of sFilter ("Desc|*.x;*.y|..."; names match in any case) with the
// 1-based lFilterIndex chosen. A title holding the translation of "save" (in
// any case) asks for a file to save, any other for a file to open. Either
// takes a name that does not exist yet; a name saved without an extension
// gets the one of the filter in use ("*.ZOL" gives ".ZOL"). Returns the file
// and sets lFilterIndex to the filter in use; a cancel returns "" and leaves
// lFilterIndex as it was.
std::string PickFile(QWidget* frm, const std::string& sTitle, const std::string& sFilter, long& lFilterIndex);

// As PickFile, starting in the folder of sCurrentPath, or of its nearest
// existing parent when that folder is gone; sCurrentPath is set to that
// folder.
std::string PickFileInitDir(QWidget* frm, const std::string& sTitle, const std::string& sFilter,
                            long& lFilterIndex, std::string& sCurrentPath);

// Asks for a folder, starting at sStartFolder (macros expanded and "*" made
// "A" in the caller's text), or at its nearest existing parent. Returns the folder without a trailing "/" (the
// root stays "/"); a cancel returns "".
std::string BrowseForFolder(QWidget* frm, std::string& sStartFolder);

// Moves frm to the middle of the work area of its screen.
void CenterFormInWorkArea(QWidget* frm);

}  // namespace tessa
