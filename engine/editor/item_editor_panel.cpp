// The panel's controls and their events. Changing a control by code raises
// its event as a user edit would; the events return at once while the form's
// loading flag is set, so code that fills the panel holds the flag.
#include "engine/editor/item_editor_panel.h"

#include "common/file_helpers.h"
#include "common/path_macros.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "common/vb_conversions.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"
#include "engine/task/caret_records.h"
#include "engine/task/file_types.h"
#include "engine/task/input_type_list.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

constexpr const char* kFilterPdf = "PDF (*.PDF)|*.PDF|All files (*.*)|*.*";
constexpr const char* kFilterPrograms =
    "Applications (*.EXE)|*.EXE|Batch Files (*.BAT)|*.BAT|All Files (*.*)|*.*";

bool Contains(const std::string& s, char c) { return s.find(c) != std::string::npos; }

}  // namespace

std::string PathInFolder(const std::string& folder, const std::string& name) {
  return RemoveTrailingBackslash(folder) + "/" + name;
}

std::string SpecialRequestMailAddress() { return "sales@brindlecove.example"; }

ItemEditorPanel::ItemEditorPanel(MainForm& form) : form_(form) {
  {
    GridUpdateByCode loading(form_.bGridUpdateByCode);
    FillInFileTypeComboBoxImage();
    FillInFileTypeComboBoxTarget();
    s_.cbSpecialProcesses.rows = SpecialProcessListRows();
    s_.cbSpecialProcesses.listIndex = 0;
    s_.cbCommandLineWindowState.rows = WindowStateListRows();
    s_.cbCommandLineWindowState.listIndex = 1;
    s_.cbCommandLineThreadPriority.rows = ThreadPriorityListRows();
    s_.cbCommandLineThreadPriority.listIndex = 1;
  }
  RefreshConvertOptionsGUI();
  lastRow_ = form_.fgToDo.Row();
  gridHandle_ = form_.fgToDo.Subscribe([this](const GridChange& c) { GridChanged(c.kind); });
}

ItemEditorPanel::~ItemEditorPanel() { form_.fgToDo.Unsubscribe(gridHandle_); }

void ItemEditorPanel::SetView(EditorPanelView* view) { view_ = view ? view : &nullView_; }

bool ItemEditorPanel::Loading() const { return form_.bGridUpdateByCode; }

bool ItemEditorPanel::Quiet() {
  if (!Loading()) return false;
  // A run holds the flag throughout, and nothing but the user changes the
  // panel then: the edit is the panel's task's, kept when the run ends.
  if (form_.bInRunLoop()) form_.bCurrentActionItemDirty = true;
  return true;
}

void ItemEditorPanel::MarkDirty() {
  form_.bCurrentActionItemDirty = true;
  form_.View().UpdateMenuToolbar();
}

void ItemEditorPanel::OnlyMarkDirty() {
  if (!Quiet()) MarkDirty();
}

void ItemEditorPanel::FocusInput() { view_->FocusControl("cbOriginalFile"); }
void ItemEditorPanel::FocusOutput() { view_->FocusControl("cbTargetFile"); }

// --- setters: the control changes, then its event runs

void ItemEditorPanel::SetInputText(const std::string& text) {
  Batch b(*this);
  if (text == s_.cbOriginalFile) return;
  s_.cbOriginalFile = text;
  cbOriginalFile_Change();
}

void ItemEditorPanel::SetInputTextQuiet(const std::string& text) {
  Batch b(*this);
  s_.cbOriginalFile = text;
}

void ItemEditorPanel::SetOutputText(const std::string& text) {
  Batch b(*this);
  if (text == s_.cbTargetFile) return;
  s_.cbTargetFile = text;
  cbTargetFile_Change();
}

void ItemEditorPanel::SetListIndexRaising(PanelCombo& combo, int listIndex, void (ItemEditorPanel::*click)()) {
  Batch b(*this);
  if (listIndex < -1 || listIndex >= static_cast<int>(combo.rows.size()) || listIndex == combo.listIndex) return;
  combo.listIndex = listIndex;
  (this->*click)();
}

void ItemEditorPanel::SelectAction(int index) {
  Batch b(*this);
  if (index == s_.rbActionToDo || (index != 0 && index != 1)) return;
  s_.rbActionToDo = index;
  rbActionToDo_Click();
}

void ItemEditorPanel::SelectInputType(int listIndex) {
  SetListIndexRaising(s_.cbFileTypeOriginal, listIndex, &ItemEditorPanel::cbFileTypeOriginal_Click);
}
void ItemEditorPanel::SelectOutputType(int listIndex) {
  SetListIndexRaising(s_.cbFileTypeTarget, listIndex, &ItemEditorPanel::cbFileTypeTarget_Click);
}
void ItemEditorPanel::SelectSpecialProcess(int listIndex) {
  SetListIndexRaising(s_.cbSpecialProcesses, listIndex, &ItemEditorPanel::cbSpecialProcesses_Click);
}
void ItemEditorPanel::SelectWindowState(int listIndex) {
  SetListIndexRaising(s_.cbCommandLineWindowState, listIndex, &ItemEditorPanel::OnlyMarkDirty);
}
void ItemEditorPanel::SelectThreadPriority(int listIndex) {
  SetListIndexRaising(s_.cbCommandLineThreadPriority, listIndex, &ItemEditorPanel::OnlyMarkDirty);
}

void ItemEditorPanel::SetDoSubfolders(bool checked) {
  Batch b(*this);
  if (checked == s_.cbDoSubfolders) return;
  s_.cbDoSubfolders = checked;
  OnlyMarkDirty();
}

void ItemEditorPanel::SetSaveToOriginalFolder(bool checked) {
  Batch b(*this);
  if (checked == s_.cbSaveToOriginalFolder) return;
  s_.cbSaveToOriginalFolder = checked;
  cbSaveToOriginalFolder_Click();
}

void ItemEditorPanel::SetCommandLine(const std::string& text) {
  Batch b(*this);
  if (text == s_.cbCommandLine) return;
  s_.cbCommandLine = text;
  cbCommandLine_Change();
}

void ItemEditorPanel::SetCommandLineArguments(const std::string& text) {
  Batch b(*this);
  if (text == s_.cbCommandLineArguments) return;
  s_.cbCommandLineArguments = text;
  OnlyMarkDirty();
}

void ItemEditorPanel::SetWaitTimeText(const std::string& text) {
  Batch b(*this);
  if (text == s_.txtCommandLineWaitTimeInSeconds) return;
  s_.txtCommandLineWaitTimeInSeconds = text;
  OnlyMarkDirty();
}

void ItemEditorPanel::DropDownInput() { OnlyMarkDirty(); }
void ItemEditorPanel::DropDownOutput() { OnlyMarkDirty(); }
void ItemEditorPanel::DropDownCommandLine() {
  Batch b(*this);
  cbCommandLine_Change();
}

void ItemEditorPanel::AdvancedOptionsEdited(const std::string& sDataTransfer) {
  Batch b(*this);
  if (sDataTransfer == form_.sQuirepaneAdvancedOptions) return;
  form_.sQuirepaneAdvancedOptions = sDataTransfer;
  MarkDirty();
}

bool ItemEditorPanel::bIsSetToAppend() const {
  AdvancedOptions o;
  ParseAdvancedOptions(form_.sQuirepaneAdvancedOptions, o);
  return o.append;
}

// --- events

void ItemEditorPanel::rbActionToDo_Click() {
  if (Quiet()) return;
  if (s_.rbActionToDo != 0) {
    form_.sActionToDo = "S";
  } else {
    form_.sActionToDo = "C";
    form_.lConversionMethod = kMethodImageConversion;
  }
  RefreshConvertOptionsGUI();
  MarkDirty();
}

void ItemEditorPanel::ApplyInputVisibilityRule(const std::string& input) {
  if (!bHasWildcards(input)) {
    s_.cbSaveToOriginalFolderVisible = false;
    SetSaveToOriginalFolder(false);
    s_.cbDoSubfoldersVisible = false;
    s_.cmdSelectTargetFileVisible = true;
  } else {
    s_.cbSaveToOriginalFolderVisible = Contains(s_.cbTargetFile, '*');
    s_.cbDoSubfoldersVisible = true;
  }
}

void ItemEditorPanel::cbOriginalFile_Change() {
  if (Quiet()) return;
  ApplyInputVisibilityRule(s_.cbOriginalFile);
  s_.cbOriginalFile = StripQuotes(s_.cbOriginalFile);

  const std::string sIn = TrimBlanks(s_.cbOriginalFile);
  const std::string dIn = GetParentFolderUNC(sIn);
  const std::string sOut = TrimBlanks(s_.cbTargetFile);
  const std::string dOut = GetParentFolderUNC(sOut);

  const auto dot = sIn.rfind('.');
  if (dot != std::string::npos) {
    const int32_t index = FormatTypeIndex(TrimBlanks(sIn.substr(dot + 1)));
    if (index >= 0) SelectInputType(index);
  }
  MarkDirty();

  // Propose an output for the input: in the input's folder when there is no
  // output yet (and only when the input names a folder), else in the
  // output's own folder.
  if (dot == std::string::npos) return;
  const bool append = bIsSetToAppend();
  const bool wildIn = bHasWildcards(sIn);
  const bool wildOut = bHasWildcards(sOut);
  const std::string outputFile = Translate("Output File") + ".pdf";
  const std::string appendFile = Translate("Append") + ".pdf";
  std::string proposal;
  if (sOut.empty()) {
    if (!dIn.empty()) proposal = PathInFolder(dIn, append ? appendFile : wildIn ? "*.pdf" : outputFile);
  } else if (!dOut.empty()) {
    if (!append && wildIn && !wildOut) {
      proposal = PathInFolder(dOut, "*.pdf");
    } else if (!append && !wildIn && wildOut) {
      proposal = PathInFolder(dOut, outputFile);
    } else if (append && wildOut) {
      proposal = PathInFolder(dOut, appendFile);
    }
  }
  if (!proposal.empty()) SetOutputText(proposal);
}

void ItemEditorPanel::cbTargetFile_Change() {
  if (Quiet()) return;
  MarkDirty();
  s_.cbSaveToOriginalFolderVisible = Contains(s_.cbTargetFile, '*');
  s_.cbTargetFile = StripQuotes(s_.cbTargetFile);
}

void ItemEditorPanel::cbFileTypeOriginal_Click() {
  if (Quiet() || s_.cbFileTypeOriginal.rows.empty()) return;
  // The code stands in square brackets at the start of the row's text.
  const std::string& text = s_.cbFileTypeOriginal.rows[s_.cbFileTypeOriginal.listIndex].text;
  const auto close = text.find(']');
  int32_t code = kFileTypeAuto;
  if (close != std::string::npos && close >= 1) code = CLngText(text.substr(1, close - 1)).value_or(kFileTypeAuto);
  const auto dot = s_.cbOriginalFile.rfind('.');
  if (code != kFileTypeAuto && dot != std::string::npos)
    SetInputText(s_.cbOriginalFile.substr(0, dot + 1) + GetFileTypeExtension(code, false, kMethodImageConversion));
  MarkDirty();
}

void ItemEditorPanel::cbFileTypeTarget_Click() {
  if (Quiet() || s_.cbFileTypeTarget.rows.empty()) return;
  MarkDirty();
}

void ItemEditorPanel::cbSaveToOriginalFolder_Click() {
  if (Quiet()) return;
  MarkDirty();
  s_.frameTargetFileVisible = !s_.cbSaveToOriginalFolder;
}

void ItemEditorPanel::cbSpecialProcesses_Click() {
  if (Quiet()) return;
  if (s_.cbSpecialProcesses.ItemData() == kSpecialProcessRequest) {
    SelectSpecialProcess(0);
    UserInterface& ui = CurrentUserInterface();
    const std::string title = Translate("Special Request");
    if (ui.MsgBox(Translate("You can request that Brindlecove add a special processing feature.  Continue?"),
                  vbOKCancel, title) == vbOK &&
        ui.MsgBox(Translate("Please give us a detailed description of what it is you want to have done to the "
                            "files.") +
                      "\n\n EMail to: " + SpecialRequestMailAddress() + "\n\n" +
                      Translate("Clicking OK will open the EMail software automatically for you."),
                  vbOKCancel, title) == vbOK) {
      view_->OpenMail(SpecialRequestMailAddress());
    }
  } else {
    RefreshConvertOptionsGUI();
  }
  MarkDirty();
}

void ItemEditorPanel::cbCommandLine_Change() {
  if (Quiet()) return;
  s_.cbCommandLine = StripQuotes(s_.cbCommandLine);
  MarkDirty();
}

// --- refresh

void ItemEditorPanel::FillInFileTypeComboBoxImage() {
  if (bInputTypesFilled_) return;
  bInputTypesFilled_ = true;
  GridUpdateByCode loading(form_.bGridUpdateByCode);
  s_.cbFileTypeOriginal.rows = InputTypeListRows();
  s_.cbFileTypeOriginal.listIndex = 0;
}

void ItemEditorPanel::FillInFileTypeComboBoxTarget() {
  GridUpdateByCode loading(form_.bGridUpdateByCode);
  s_.cbFileTypeTarget.rows = OutputTypeListRows();
  s_.cbFileTypeTarget.listIndex = 0;
}

void ItemEditorPanel::RefreshConvertOptionsGUI() {
  Batch b(*this);
  GridUpdateByCode loading(form_.bGridUpdateByCode);
  ApplyInputVisibilityRule(s_.cbOriginalFile);
  RefreshFileFolderGUISpecialized();
  if (form_.lConversionMethod == kMethodImageConversion) {
    s_.cbFileTypeOriginalVisible = true;
    FillInFileTypeComboBoxImage();
    FillInFileTypeComboBoxTarget();
  }
  if (Contains(form_.sActionToDo, 'C')) {
    s_.rbActionToDo = 0;
    s_.frameSpecializedActionVisible = false;
  } else if (Contains(form_.sActionToDo, 'S')) {
    s_.rbActionToDo = 1;
    s_.frameSpecializedActionVisible = true;
  }
  s_.frameCommandLineVisible = s_.cbSpecialProcesses.ItemData() == kSpecialProcessStartProgram;
}

// --- pickers and launch buttons

PickerRequest ItemEditorPanel::SourceFilePicker() const {
  const bool image = form_.lConversionMethod == kMethodImageConversion;
  return {false, Translate("Select Input"),
          image ? GetImageTypeDialogFilter(s_.cbFileTypeOriginal.ItemData().value_or(kFileTypeAuto)) : "",
          s_.cbOriginalFile};
}

PickerRequest ItemEditorPanel::TargetFilePicker() const {
  return {false, Translate("Select Output"), form_.lConversionMethod == kMethodImageConversion ? kFilterPdf : "",
          s_.cbTargetFile};
}

PickerRequest ItemEditorPanel::ProgramPicker() const {
  return {false, Translate("Select Program To Launch"), kFilterPrograms, s_.cbCommandLine};
}

PickerRequest ItemEditorPanel::SourceFolderPicker() const { return {true, "", "", s_.cbOriginalFile}; }
PickerRequest ItemEditorPanel::TargetFolderPicker() const { return {true, "", "", s_.cbTargetFile}; }

void ItemEditorPanel::SourceFilePicked(const std::string& path) {
  if (!path.empty()) SetInputText(path);
}

void ItemEditorPanel::SourceFolderPicked(const std::string& folder) {
  if (folder.empty() || form_.lConversionMethod != kMethodImageConversion) return;
  SetInputText(
      PathInFolder(folder, GetImageTypeExtension(s_.cbFileTypeOriginal.ItemData().value_or(kFileTypeAuto), true)));
}

void ItemEditorPanel::TargetFilePicked(const std::string& path) {
  if (!path.empty()) SetOutputText(path);
}

void ItemEditorPanel::TargetFolderPicked(const std::string& folder) {
  if (folder.empty()) return;
  SetOutputText(PathInFolder(folder, GetFileTypeExtension(s_.cbFileTypeTarget.ItemData().value_or(kFileTypePdf),
                                                          true, form_.lConversionMethod)));
}

void ItemEditorPanel::ProgramPicked(const std::string& path) {
  if (!path.empty()) SetCommandLine(path);
}

namespace {

ItemEditorPanel::LaunchRequest LaunchFileOrFolder(std::string path) {
  path = ToForwardSlashes(ExpandPathMacros(path));
  if (bFileExists(path)) return {ItemEditorPanel::LaunchRequest::OpenFile, path};
  const std::string folder = GetFolderFromPath(path);
  if (!folder.empty() && bFolderExists(folder)) return {ItemEditorPanel::LaunchRequest::ExploreFolder, folder};
  CurrentUserInterface().MsgBox(Translate("File/Folder does not exist:") + "\r\n\r\n" + path, vbInformation,
                                Translate("Error"));
  return {};
}

}  // namespace

ItemEditorPanel::LaunchRequest ItemEditorPanel::LaunchOriginal() const {
  return LaunchFileOrFolder(s_.cbOriginalFile);
}

ItemEditorPanel::LaunchRequest ItemEditorPanel::LaunchTarget() const { return LaunchFileOrFolder(s_.cbTargetFile); }

ItemEditorPanel::LaunchRequest ItemEditorPanel::LaunchCommandLine() const {
  std::string path = s_.cbCommandLine;
  path = ToForwardSlashes(ExpandPathMacros(path));
  if (bFileExists(path)) return {LaunchRequest::OpenFile, path};
  CurrentUserInterface().MsgBox(Translate("File does not exist:") + "\r\n\r\n" + path, vbInformation,
                                Translate("Error"));
  return {};
}

}  // namespace tessa
