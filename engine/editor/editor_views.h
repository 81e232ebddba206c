// Puts the item editor panel between the main form and the window's own
// views: the form's editor questions (collect the task, update the row,
// load the row entered, the input and output fields) go to the panel, every
// other call to the view that was set before.
#pragma once

#include "engine/editor/item_editor_panel.h"
#include "engine/job_view.h"
#include "engine/main_form.h"

namespace tessa {

class EditorJobView : public JobView {
 public:
  EditorJobView(ItemEditorPanel& panel, JobView& inner) : panel_(panel), inner_(inner) {}

  bool CollectConversionItemFromGUI(clsConversionOptions& co) override {
    return panel_.CollectConversionItemFromGUI(co);
  }
  bool ConversionJobUpdate() override { return panel_.ConversionJobUpdate(); }
  void EnterToDoCell() override { panel_.fgToDo_EnterCell(); }

  std::string PickJobFile(bool bSave, const std::string& title, const std::string& initial) override {
    return inner_.PickJobFile(bSave, title, initial);
  }
  void SetFormCaption(const std::string& caption) override { inner_.SetFormCaption(caption); }
  void SetFrameCaption(const std::string& caption) override { inner_.SetFrameCaption(caption); }
  void AddOpenedJobFile(const std::string& path) override { inner_.AddOpenedJobFile(path); }
  void FocusToDoGrid() override { inner_.FocusToDoGrid(); }
  void SelectToDoTab() override { inner_.SelectToDoTab(); }
  bool IsToolbarButtonEnabled(const std::string& key, bool engineDefault) override {
    return inner_.IsToolbarButtonEnabled(key, engineDefault);
  }
  void StopScheduler() override { inner_.StopScheduler(); }

 private:
  ItemEditorPanel& panel_;
  JobView& inner_;
};

class EditorFormView : public MainFormView {
 public:
  EditorFormView(ItemEditorPanel& panel, MainFormView& inner) : panel_(panel), inner_(inner) {}

  ItemEditorFields* EditorFields() override { return &panel_; }

  void UpdateMenuToolbar() override { inner_.UpdateMenuToolbar(); }
  void UpdateMRUs() override { inner_.UpdateMRUs(); }
  bool bSchedularEnabled() override { return inner_.bSchedularEnabled(); }
  bool IsVisible() override { return inner_.IsVisible(); }
  void SetEndOfJobNotifier(bool on) override { inner_.SetEndOfJobNotifier(on); }
  bool ShowTypeMismatchDialog(TypeMismatchNotice& notice) override { return inner_.ShowTypeMismatchDialog(notice); }

 private:
  ItemEditorPanel& panel_;
  MainFormView& inner_;
};

// Installs the panel's views in front of the form's present ones for its
// lifetime and puts those back when it goes.
class EditorViewsInstalled {
 public:
  EditorViewsInstalled(MainForm& form, ItemEditorPanel& panel)
      : form_(form), innerForm_(form.View()), innerJob_(form.Job()), job_(panel, innerJob_), view_(panel, innerForm_) {
    form_.SetJobView(&job_);
    form_.SetView(&view_);
  }
  ~EditorViewsInstalled() {
    form_.SetJobView(&innerJob_);
    form_.SetView(&innerForm_);
  }
  EditorViewsInstalled(const EditorViewsInstalled&) = delete;
  EditorViewsInstalled& operator=(const EditorViewsInstalled&) = delete;

 private:
  MainForm& form_;
  MainFormView& innerForm_;
  JobView& innerJob_;
  EditorJobView job_;
  EditorFormView view_;
};

}  // namespace tessa
