// One right-click on a file-manager selection: the accepted items, the
// "Convert To PDF" menu built for them, and the command chosen from it, which
// hands the items to ferrowick's Process, starts tessaprint on its options,
// stores the PDF to append to, or toggles an option.
#pragma once

#include <string>
#include <vector>

#include "shellmenu/menu_model.h"
#include "shellmenu/menu_options.h"
#include "shellmenu/menu_selection.h"

namespace tessa {

// Flags of QueryContextMenu: only a normal menu, or an explorer menu that is
// not verbs-only, gets the entries.
inline constexpr unsigned kCmfDefaultOnly = 1;
inline constexpr unsigned kCmfVerbsOnly = 2;
inline constexpr unsigned kCmfExplore = 4;

// Where the commands go. ferrowick's three methods take the path list with
// element 0 empty and the paths at 1..n; they return at once.
class ContextMenuActions {
 public:
  virtual ~ContextMenuActions() = default;
  virtual void ProcessFiles(const std::vector<std::string>& files, const std::string& sParameters, bool bOverwrite,
                            bool bOpenFile, bool bDoSubfolders, bool bSaveToOriginalFolder,
                            const std::string& sFileFromLowestBranch) = 0;
  virtual void AppendFiles(const std::vector<std::string>& files, const std::string& sParameters,
                           const std::string& sOutFile, bool bOpenFile, bool bDoSubfolders,
                           long lSaveToOriginalFolder) = 0;
  virtual void ConvertAndAppendFiles(const std::vector<std::string>& files, const std::string& sParameters,
                                     bool bOverwrite, const std::string& sOutFile, bool bOpenFile,
                                     bool bDoSubfolders, long lSaveToOriginalFolder,
                                     const std::string& sFileFromLowestBranch) = 0;
  // Starts tessaprint with these arguments ("/0", "/S", the path: the
  // program's options page for that file).
  virtual void StartTessaprint(const std::vector<std::string>& arguments) = 0;
  // A warning box with an OK button.
  virtual void ShowWarning(const std::string& sText, const std::string& sTitle) = 0;
};

class clsContextMenu {
 public:
  // sIniFile: the shared settings file ("" reads defaults and writes nothing).
  explicit clsContextMenu(std::string sIniFile) : sIni_(std::move(sIniFile)) {}

  // Takes the selected paths; false when more than 255 are given (no menu).
  bool Initialize(const std::vector<std::string>& paths) { return selection_.Initialize(paths); }
  const MenuSelection& Selection() const { return selection_; }

  // Builds the menu for the selection into menu (inserted at indexMenu) and
  // returns the number of command ids used, idCmdFirst upwards; ids beyond
  // idCmdLast are not used (the build stops there).
  int QueryContextMenu(MenuModel& menu, int indexMenu, int idCmdFirst, int idCmdLast, unsigned uFlags);

  // Runs the command at offset (id - idCmdFirst) of the last menu built; an
  // offset outside it does nothing.
  void InvokeCommand(int offset, ContextMenuActions& actions);
  // Runs a verb by name ("CONVERTMULTITOMULTI", "OVERWRITE", ...): as the
  // menu entry that carries it would. False (and nothing done) for an
  // unknown verb.
  bool InvokeVerb(const std::string& sVerb, ContextMenuActions& actions);

  const std::vector<std::string>& Verbs() const { return verbs_; }
  const MenuOptions& Options() const { return options_; }

 private:
  void AddMainMenu(std::vector<MenuEntry>& popup, int& id, int idCmdLast);
  void ToggleOption(long MenuOptions::*option);
  std::string SingleOutputOf(const std::string& sItem) const;

  std::string sIni_;
  MenuSelection selection_;
  MenuOptions options_;
  std::vector<std::string> verbs_;
  bool bOptionsLoaded_ = false;
};

}  // namespace tessa
