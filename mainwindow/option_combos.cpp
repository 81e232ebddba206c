#include "mainwindow/option_combos.h"

#include "common/translator.h"
#include "engine/task/input_type_list.h"

namespace tessa {

namespace {

std::string Code(int32_t code) { return "[" + std::to_string(code) + "] "; }

}  // namespace

std::vector<ComboRow> InputTypeComboRows() {
  std::vector<ComboRow> rows;
  for (const InputTypeRow& r : InputTypeRows())
    rows.push_back({Code(r.code) + Translate(std::string(r.description)) + std::string(r.extensionPart), r.code});
  return rows;
}

std::vector<ComboRow> TargetTypeComboRows() {
  return {{Translate(Code(100) + Translate("Adobe") + " (PDF)"), 100}};
}

std::vector<ComboRow> SpecialProcessComboRows() {
  return {{Code(60) + Translate("(*.*) Launch (Run) a program"), 60},
          {Translate("I NEED SOMETHING NOT LISTED!!!!!!!"), -1}};
}

std::vector<ComboRow> WindowStateComboRows() {
  return {{Translate("Hidden"), 0}, {Translate("Normal"), 1}, {Translate("Maximized"), 3}, {Translate("Minimized"), 6}};
}

std::vector<ComboRow> ThreadPriorityComboRows() {
  return {{Translate("Idle"), 0x40},
          {Translate("Normal"), 0x20},
          {Translate("High Priority"), 0x80},
          {Translate("Realtime Priority"), 0x100}};
}

}  // namespace tessa
