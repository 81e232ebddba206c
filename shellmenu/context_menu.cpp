// The menu is rebuilt on every right-click from the settings file, so the
// option marks always show what the file holds; the verb list built with it
// maps the command offset the host hands back to the command's meaning.
#include "shellmenu/context_menu.h"

#include <algorithm>
#include <filesystem>

#include "common/text_helpers.h"

namespace tessa {
namespace {

// Adds one command entry with the next id; false (nothing added) past idLast.
bool AddMenu(std::vector<MenuEntry>& menu, int& id, int idLast, std::string caption, std::string verb,
             const char* picture, bool checked, std::vector<std::string>& verbs) {
  if (id > idLast) return false;
  MenuEntry e;
  e.sCaption = std::move(caption);
  e.iCommandId = id++;
  e.sVerb = verb;
  e.bChecked = checked;
  e.sPicture = picture ? picture : "";
  menu.push_back(std::move(e));
  verbs.push_back(std::move(verb));
  return true;
}

void AddSep(std::vector<MenuEntry>& menu) {
  MenuEntry e;
  e.kind = MenuEntry::Kind::Separator;
  menu.push_back(std::move(e));
}

bool IsChecked(long value) { return (value & kOptionOn) != 0; }

bool IsExistingFile(const std::string& sPath) {
  std::error_code ec;
  return !sPath.empty() && std::filesystem::is_regular_file(sPath, ec);
}

// Paths here are as the system names them: "\" is a character of a name.
std::string NameAfterLastSlash(const std::string& sPath) {
  const auto slash = sPath.rfind('/');
  return slash == std::string::npos ? sPath : sPath.substr(slash + 1);
}

}  // namespace

int clsContextMenu::QueryContextMenu(MenuModel& menu, int indexMenu, int idCmdFirst, int idCmdLast,
                                     unsigned uFlags) {
  const bool normal = (uFlags & 0xF) == 0;
  const bool explore = (uFlags & kCmfVerbsOnly) == 0 && (uFlags & kCmfExplore) != 0;
  if (!normal && !explore) return 0;
  if (selection_.FileCount() == 0) return 0;

  MenuEntry popup;
  popup.kind = MenuEntry::Kind::Popup;
  popup.sCaption = "Convert To PDF";
  popup.sPicture = kPictureConvertImage;
  verbs_.clear();
  int id = idCmdFirst;
  AddMainMenu(popup.children, id, idCmdLast);
  const auto at = static_cast<std::size_t>(std::clamp<long>(indexMenu, 0, static_cast<long>(menu.size())));
  menu.insert(menu.begin() + static_cast<std::ptrdiff_t>(at), std::move(popup));
  return id - idCmdFirst;
}

void clsContextMenu::AddMainMenu(std::vector<MenuEntry>& popup, int& id, int idLast) {
  options_ = LoadOptions(sIni_);
  bOptionsLoaded_ = true;
  const std::string sRecentPDF = ReadRecentPDF(sIni_);
  auto add = [&](std::string caption, std::string verb, const char* picture, bool checked = false) {
    return AddMenu(popup, id, idLast, std::move(caption), std::move(verb), picture, checked, verbs_);
  };

  const int count = selection_.FileCount();
  const std::string first = selection_.FileName(0);
  if (count == 1 && ToUpperAscii(GetFileExtension(first)) == "PDF" && first.back() != '/') {
    if (!add("Set as Destination PDF for appending ", "SOURCE", kPicturePDF)) return;
  } else {
    if (selection_.bAtLeastOneFolderSelected() || count >= 2) {
      if (!add("Convert to multiple PDFs", "CONVERTMULTITOMULTI", kPictureConvertImage)) return;
      if (!add("Convert to a single PDF", "CONVERTMULTITOSINGLE", kPictureConvertImage)) return;
    } else {
      // One file: one PDF for it.
      if (!add("Convert to a single PDF", "CONVERTMULTITOMULTI", kPictureConvertImage)) return;
    }
    if (IsExistingFile(sRecentPDF)) {
      if (!add("Convert and Append to " + NameAfterLastSlash(sRecentPDF), "APPEND", kPictureAddPDF)) return;
    }
  }
  AddSep(popup);
  if (!add("Always Overwrite", "OVERWRITE", nullptr, IsChecked(options_.lOverwrite))) return;
  if (!add("Open file in default program after conversion", "OPEN", nullptr, IsChecked(options_.lOpenFile))) return;
  if (!add("Advanced Options", "OPTIONS", kPictureOptions)) return;
  AddSep(popup);
  if (selection_.bAtLeastOneFolderSelected()) {
    if (!add("Do Subfolders", "DOSUBFOLDERS", nullptr, IsChecked(options_.lDoSubfolders))) return;
  }
  add("Save to Original Folder", "SAVETOORIGINALFOLDER", nullptr, IsChecked(options_.lSaveToOriginalFolder));
}

void clsContextMenu::InvokeCommand(int offset, ContextMenuActions& actions) {
  if (offset < 0 || offset >= static_cast<int>(verbs_.size())) return;
  InvokeVerb(verbs_[static_cast<std::size_t>(offset)], actions);
}

void clsContextMenu::ToggleOption(long MenuOptions::*option) {
  options_.*option ^= kOptionOn;
  SaveOptions(sIni_, options_);
}

// Where ferrowick puts the one PDF of a single file converted on its own:
// "Vemo-Output/" in the file's folder, or beside the file.
std::string clsContextMenu::SingleOutputOf(const std::string& sItem) const {
  std::string base = NameAfterLastSlash(sItem);
  const std::string folder = sItem.substr(0, sItem.size() - base.size());
  if (const auto dot = base.rfind('.'); dot != std::string::npos) base.erase(dot);
  const bool beside = options_.lSaveToOriginalFolder != 0;
  return folder + (beside ? "" : "Vemo-Output/") + base + ".PDF";
}

bool clsContextMenu::InvokeVerb(const std::string& sVerb, ContextMenuActions& actions) {
  if (!bOptionsLoaded_) {
    options_ = LoadOptions(sIni_);
    bOptionsLoaded_ = true;
  }
  const std::string sRecentPDF = ReadRecentPDF(sIni_);
  const std::string name0 = selection_.FileName(0);
  std::vector<std::string> list{""};
  list.insert(list.end(), selection_.Items().begin(), selection_.Items().end());
  const std::string sT = "\" /T \"" + sRecentPDF + "\" /F -1 /+";
  const MenuOptions& o = options_;

  if (sVerb == "CONVERTMULTITOMULTI") {
    actions.ProcessFiles(list, sVerb.substr(1), o.lOverwrite != 0, o.lOpenFile != 0, o.lDoSubfolders != 0,
                         o.lSaveToOriginalFolder != 0, name0);
    // The one PDF of a single file becomes the target of later appends.
    if (selection_.FileCount() == 1 && !name0.empty() && name0.back() != '/') {
      WriteRecentPDF(sIni_, SingleOutputOf(name0));
    }
  } else if (sVerb == "CONVERTMULTITOSINGLE") {
    actions.ConvertAndAppendFiles(list, sT, o.lOverwrite != 0, sRecentPDF, o.lOpenFile != 0, o.lDoSubfolders != 0,
                                  o.lSaveToOriginalFolder, name0);
  } else if (sVerb == "APPEND") {
    if (IsExistingFile(sRecentPDF)) {
      actions.AppendFiles(list, sT, sRecentPDF, o.lOpenFile != 0, o.lDoSubfolders != 0, o.lSaveToOriginalFolder);
    } else {
      actions.ShowWarning("File " + sRecentPDF + " is no longer there. Please select another file to append to.",
                          "File Missing");
      WriteRecentPDF(sIni_, "");
    }
  } else if (sVerb == "OPTIONS") {
    actions.StartTessaprint({"/0", "/S", name0});
  } else if (sVerb == "SOURCE") {
    // The name is kept as it is: another letter case is another file here.
    WriteRecentPDF(sIni_, name0);
  } else if (sVerb == "OVERWRITE") {
    ToggleOption(&MenuOptions::lOverwrite);
  } else if (sVerb == "OPEN") {
    ToggleOption(&MenuOptions::lOpenFile);
  } else if (sVerb == "DOSUBFOLDERS") {
    ToggleOption(&MenuOptions::lDoSubfolders);
  } else if (sVerb == "SAVETOORIGINALFOLDER") {
    ToggleOption(&MenuOptions::lSaveToOriginalFolder);
  } else {
    return false;
  }
  return true;
}

}  // namespace tessa
