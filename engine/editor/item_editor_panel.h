// The item editor panel without widgets: what each control holds and shows,
// the rules its edits follow (type choice, output proposals, which fields a
// conversion or a special process shows), collecting its task, loading a
// to-do row into it and writing it back. A window mirrors this state in its
// widgets and forwards the user's edits to the setters below.
#pragma once

#include <cstdint>
#include <string>

#include "engine/editor/panel_combos.h"
#include "engine/item_editor_fields.h"
#include "engine/task/conversion_options.h"

namespace tessa {

class MainForm;

// What every control of the panel holds and whether it is shown.
struct EditorPanelState {
  int rbActionToDo = 0;  // 0 convert files, 1 special processing
  std::string cbOriginalFile;
  PanelCombo cbFileTypeOriginal;
  bool cbFileTypeOriginalVisible = true;  // and its label
  bool cbDoSubfolders = false;
  bool cbDoSubfoldersVisible = false;
  bool cbSaveToOriginalFolder = false;
  bool cbSaveToOriginalFolderVisible = false;
  bool frameTargetFileVisible = true;
  std::string cbTargetFile;
  PanelCombo cbFileTypeTarget;
  bool cmdSelectTargetFileVisible = true;  // and its picture button
  bool frameSpecializedActionVisible = false;
  bool frameCommandLineVisible = false;
  PanelCombo cbSpecialProcesses;
  std::string cbCommandLine;
  std::string cbCommandLineArguments;
  PanelCombo cbCommandLineWindowState;
  PanelCombo cbCommandLineThreadPriority;
  std::string txtCommandLineWaitTimeInSeconds = "-1";
};

// What the panel asks of the window that shows it. The defaults do nothing.
class EditorPanelView {
 public:
  virtual ~EditorPanelView() = default;
  // The state changed: show it.
  virtual void PanelChanged() {}
  // Gives the named control the focus and selects its text.
  virtual void FocusControl(const std::string& /*objectName*/) {}
  // Opens a new mail message to address with the desktop's mail program.
  virtual void OpenMail(const std::string& /*address*/) {}
};

// A file or folder dialog the panel wants shown.
struct PickerRequest {
  bool bFolder = false;
  std::string title;
  std::string filter;  // "Description|*.x;*.y|..." ("" all files)
  std::string start;   // the field's text
};

class ItemEditorPanel : public ItemEditorFields {
 public:
  // The panel of form, filled with its option lists and shown for the form's
  // sActionToDo. Follows the form's to-do grid: a row change made by the
  // user (not by code, not during a run) first offers to save an edited
  // panel into the row being left, then loads the row entered.
  explicit ItemEditorPanel(MainForm& form);
  ~ItemEditorPanel() override;
  ItemEditorPanel(const ItemEditorPanel&) = delete;
  ItemEditorPanel& operator=(const ItemEditorPanel&) = delete;

  const EditorPanelState& State() const { return s_; }
  // Whether the panel follows the user's row changes in the to-do grid
  // itself (the default), or a window calls fgToDo_LeaveCell and
  // fgToDo_EnterCell around them.
  void SetFollowGridRows(bool follow) { bFollowGridRows_ = follow; }
  void SetView(EditorPanelView* view);
  MainForm& Form() { return form_; }

  // --- the controls, as the user or the program changes them. Each raises
  // the control's event; while the form's loading flag is set the events do
  // nothing. A user edit marks the panel's task changed.
  std::string InputText() const override { return s_.cbOriginalFile; }
  void SetInputText(const std::string& text) override;
  std::string OutputText() const override { return s_.cbTargetFile; }
  void SetOutputText(const std::string& text) override;
  bool InputVisible() const override { return s_.rbActionToDo == 0; }
  bool OutputVisible() const override { return s_.rbActionToDo == 0 && s_.frameTargetFileVisible; }
  void FocusInput() override;
  void FocusOutput() override;

  void SelectAction(int index);  // rbActionToDo(index) chosen
  void SelectInputType(int listIndex);
  void SelectOutputType(int listIndex);
  void SetDoSubfolders(bool checked);
  void SetSaveToOriginalFolder(bool checked);
  void SelectSpecialProcess(int listIndex);
  void SetCommandLine(const std::string& text);
  void SetCommandLineArguments(const std::string& text);
  void SelectWindowState(int listIndex);
  void SelectThreadPriority(int listIndex);
  void SetWaitTimeText(const std::string& text);
  void DropDownInput();   // the history list of the input opened
  void DropDownOutput();  // the history list of the output opened
  void DropDownCommandLine();  // the history list of the program opened

  // The advanced-options dialog closed with sDataTransfer: a changed record
  // becomes the panel's and marks the task changed.
  void AdvancedOptionsEdited(const std::string& sDataTransfer);
  // The append field of the panel's advanced options.
  bool bIsSetToAppend() const;

  // Shows the fields for sActionToDo and the chosen special process.
  void RefreshConvertOptionsGUI();

  // --- pickers and launch buttons
  PickerRequest SourceFilePicker() const;
  PickerRequest SourceFolderPicker() const;
  PickerRequest TargetFilePicker() const;
  PickerRequest TargetFolderPicker() const;
  PickerRequest ProgramPicker() const;
  // A picker's answer; "" (cancelled) changes nothing.
  void SourceFilePicked(const std::string& path);
  void SourceFolderPicked(const std::string& folder);
  void TargetFilePicked(const std::string& path);
  void TargetFolderPicked(const std::string& folder);
  void ProgramPicked(const std::string& path);

  // What a launch button opens: the file itself, else its folder ("explore"),
  // else nothing after a "does not exist" box. The path has its macros
  // expanded.
  struct LaunchRequest {
    enum Kind { None, OpenFile, ExploreFolder } kind = None;
    std::string path;
  };
  LaunchRequest LaunchOriginal() const;
  LaunchRequest LaunchTarget() const;
  // The program to start now with the arguments as typed; None after a box
  // when it does not exist.
  LaunchRequest LaunchCommandLine() const;

  // --- the task and the to-do rows (the editor side of the job view)

  // Fills co from the panel. False after a message (nothing filled that
  // matters) when a list has no selection or the wait time is no number.
  bool CollectConversionItemFromGUI(clsConversionOptions& co);
  // Validates the panel's task and writes the panel into the current task
  // row; false (row unchanged) when refused, when no task row is current
  // or while a run is going.
  bool ConversionJobUpdate();
  // Loads the current to-do row into the panel (nothing while code changes
  // the grid or a run is going).
  void fgToDo_EnterCell();
  // Offers to save an edited panel into the current row; false when the
  // user cancelled.
  bool fgToDo_LeaveCell();
  // The user moves from row left to row entered: offers to save an edited
  // panel into row left first and loads row entered, unless the user
  // cancelled or the save was refused; then row left stays current with the
  // panel's edits. True when row entered is current.
  bool RowChangedByUser(int left, int entered);

  // Loading one row into the panel and writing the panel into a row.
  void UpdateGUI_ConversionItemViaCellContents(int row);
  void UpdateGUI_SpecializedToDOItemViaCellContents(int row);
  void UpdateGridFromGUI_ConversionItem();
  void UpdateGridFromGUI_SpecializedItem();

 private:
  // Counts nested changes and tells the view once, when the outermost ends.
  class Batch {
   public:
    explicit Batch(ItemEditorPanel& p) : p_(p) { ++p_.batchDepth_; }
    ~Batch() {
      if (--p_.batchDepth_ == 0) p_.view_->PanelChanged();
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    ItemEditorPanel& p_;
  };

  bool Loading() const;
  // Whether the controls' events do nothing: while code fills the panel or
  // the grids. An edit made during a run still marks the panel's task changed.
  bool Quiet();
  void MarkDirty();
  void ApplyInputVisibilityRule(const std::string& input);
  void SetInputTextQuiet(const std::string& text);
  void FillInFileTypeComboBoxImage();
  void FillInFileTypeComboBoxTarget();
  void RefreshFileFolderGUISpecialized() {}
  void SetListIndexRaising(PanelCombo& combo, int listIndex, void (ItemEditorPanel::*click)());
  void GridChanged(int kind);

  // Events of the controls.
  void rbActionToDo_Click();
  void cbOriginalFile_Change();
  void cbTargetFile_Change();
  void cbFileTypeOriginal_Click();
  void cbFileTypeTarget_Click();
  void cbSaveToOriginalFolder_Click();
  void cbSpecialProcesses_Click();
  void cbCommandLine_Change();
  void OnlyMarkDirty();

  MainForm& form_;
  EditorPanelState s_;
  EditorPanelView nullView_;
  EditorPanelView* view_ = &nullView_;
  bool bInputTypesFilled_ = false;
  int batchDepth_ = 0;
  int gridHandle_ = 0;
  int lastRow_ = 1;     // the to-do row the panel last followed
  bool bRowChanging_ = false;
  bool bFollowGridRows_ = true;
};

// name in folder: folder, "/", name; the root "/" gives "/name", not a
// share path "//name".
std::string PathInFolder(const std::string& folder, const std::string& name);

// The address that the request row's mail goes to.
std::string SpecialRequestMailAddress();

}  // namespace tessa
