// Where the main form gets the behaviour of its item editor panel: the
// panel binding, attached to the form's widgets, with the main form running
// the panel's command buttons and the to-do grid's row changes itself.
#include "engine/job/row_moves.h"
#include "mainwindow/qt/advanced_options_dialog.h"
#include "mainwindow/qt/item_editor_binding.h"
#include "mainwindow/qt/item_editor_panel_binding.h"
#include "mainwindow/qt/main_form_widget.h"

namespace tessa {

namespace {

class PanelEditor : public ItemEditorBinding {
 public:
  explicit PanelEditor(MainFormWidget& form)
      : form_(form), binding_(form.Form(), &form, ItemEditorPanelBinding::Options{false}) {
    binding_.SetAdvancedOptionsEditor([&form](std::string& record) {
      return ShowAdvancedOptions(&form, form.Form(), record) == QDialog::Accepted;
    });
  }

  bool CollectConversionItemFromGUI(clsConversionOptions& co) override { return Panel().CollectConversionItemFromGUI(co); }
  bool ConversionJobUpdate() override { return Panel().ConversionJobUpdate(); }
  void EnterToDoCell() override { Panel().fgToDo_EnterCell(); }
  bool ChangeToDoRow(int entered) override {
    return Panel().RowChangedByUser(form_.Form().fgToDo.Row(), entered);
  }
  void MoveToDoRow(int target) override { tessa::MoveToDoRow(form_.Form(), form_.Form().fgToDo, target); }
  void RefreshConvertOptionsGUI() override { Panel().RefreshConvertOptionsGUI(); }
  void AdvancedOptionsEdited(const std::string& record) override { Panel().AdvancedOptionsEdited(record); }
  ItemEditorFields* Fields() override { return &Panel(); }

 private:
  ItemEditorPanel& Panel() { return binding_.Panel(); }

  MainFormWidget& form_;
  ItemEditorPanelBinding binding_;
};

}  // namespace

std::unique_ptr<ItemEditorBinding> AttachItemEditor(MainFormWidget& form) { return std::make_unique<PanelEditor>(form); }

}  // namespace tessa
