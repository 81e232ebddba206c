#include "engine/main_form.h"

namespace tessa {

MainForm::MainForm() = default;

void MainForm::SetView(MainFormView* view) { view_ = view ? view : &nullView_; }

}  // namespace tessa
