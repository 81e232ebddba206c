// What the item editor panel does, as the main form calls it: the panel's
// behaviour is bound to its widgets (found by object name) by a class that
// attaches to the main form and implements this interface. Without one the
// panel's widgets are shown but do nothing of their own.
#pragma once

#include <memory>

#include "engine/item_editor_fields.h"
#include "engine/task/conversion_options.h"

namespace tessa {

class MainFormWidget;

class ItemEditorBinding {
 public:
  virtual ~ItemEditorBinding() = default;
  // Fills co from the panel; false when it cannot.
  virtual bool CollectConversionItemFromGUI(clsConversionOptions& /*co*/) { return false; }
  // Writes the panel into the current to-do row; false when refused.
  virtual bool ConversionJobUpdate() { return false; }
  // The to-do grid's current row changed (by the user or a command): load it.
  virtual void EnterToDoCell() {}
  // The user moves from the current to-do row to row entered: offers to
  // keep the panel's edits first; false when the current row stays.
  virtual bool ChangeToDoRow(int /*entered*/) { return true; }
  // Moves the current to-do row to row target (1 to Rows - 2).
  virtual void MoveToDoRow(int /*target*/) {}
  // Brings the panel's visible frames in line with the action and method.
  virtual void RefreshConvertOptionsGUI() {}
  // Adds the panel's current inputs to their history lists.
  virtual void UpdateMRUs() {}
  // The advanced options dialog gave a changed record.
  virtual void AdvancedOptionsEdited(const std::string& /*record*/) {}
  // The panel's input and output fields as validation sees them; nullptr
  // leaves them to the main form.
  virtual ItemEditorFields* Fields() { return nullptr; }
};

// The binding of the item editor panel for this main form (nullptr: none).
std::unique_ptr<ItemEditorBinding> AttachItemEditor(MainFormWidget& form);

}  // namespace tessa
