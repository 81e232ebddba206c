// The item editor panel's input and output fields as validation sees them:
// it trims and completes their texts and puts the focus on the field at
// fault. The window implements it; runs without a window have none.
#pragma once

#include <string>

namespace tessa {

class ItemEditorFields {
 public:
  virtual ~ItemEditorFields() = default;

  virtual std::string InputText() const = 0;
  virtual void SetInputText(const std::string& text) = 0;
  virtual std::string OutputText() const = 0;
  virtual void SetOutputText(const std::string& text) = 0;

  virtual bool InputVisible() const = 0;
  virtual bool OutputVisible() const = 0;

  // Gives the field the focus and selects its whole text.
  virtual void FocusInput() = 0;
  virtual void FocusOutput() = 0;
};

}  // namespace tessa
