// Binds the item editor panel's widgets (found under the main form by their
// control names) to the engine's panel model: the user's edits go to the
// model, the model's state is shown in the widgets, and the browse, launch
// and request buttons open their dialogs, files and mail.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "engine/editor/item_editor_panel.h"

class QWidget;

namespace tessa {

class EditorViewsInstalled;
class MainForm;

class ItemEditorPanelBinding : public QObject, public EditorPanelView {
  Q_OBJECT
 public:
  struct Options {
    // The binding also runs the panel's command buttons (cmdAdd, cmdUpdate,
    // cmdRemove), follows the to-do grid view (fgToDo) with its Ctrl+U and
    // Ctrl+D keys and its double-click (the advanced options), and puts the
    // panel in front of the form's views. A main
    // window that does these itself leaves this off and calls the panel.
    bool bOwnCommands = true;
  };

  // Attaches to the panel's widgets under form; the widgets' present texts,
  // ticks and selections become the panel's.
  ItemEditorPanelBinding(MainForm& frm, QWidget* form, Options options);
  ItemEditorPanelBinding(MainForm& frm, QWidget* form) : ItemEditorPanelBinding(frm, form, Options{}) {}
  ~ItemEditorPanelBinding() override;

  ItemEditorPanel& Panel() { return panel_; }

  // Who edits the advanced PDF options record (the dialog): true when it
  // was accepted. Without one the advanced-options button does nothing.
  void SetAdvancedOptionsEditor(std::function<bool(std::string& record)> editor) {
    advancedOptionsEditor_ = std::move(editor);
  }

  // EditorPanelView
  void PanelChanged() override;
  void FocusControl(const std::string& objectName) override;
  void OpenMail(const std::string& address) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <class W>
  W* Find(const char* name) const;
  void AdoptWidgetState();
  void ConnectEdits();
  void ConnectButtons();
  void ConnectCommands();
  void ShowGridRow();
  void EditAdvancedOptions();
  void OnButton(const char* button, const char* picture, std::function<void()> fn);
  std::string Pick(const PickerRequest& request);
  void Launch(const ItemEditorPanel::LaunchRequest& request, const std::string& arguments = "", bool bProgram = false);

  MainForm& frm_;
  QWidget* form_;
  Options options_;
  ItemEditorPanel panel_;
  std::unique_ptr<EditorViewsInstalled> views_;
  std::function<bool(std::string&)> advancedOptionsEditor_;
  long filterIndex_ = 1;  // the file pickers' last filter, shared by all three
  bool syncing_ = false;      // the widgets are being set from the panel
  bool gridSyncing_ = false;  // the grid view is being set from the grid
  int gridHandle_ = 0;
};

}  // namespace tessa
