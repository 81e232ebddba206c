#include "engine/editor/panel_combos.h"

#include "common/translator.h"
#include "engine/task/file_types.h"
#include "engine/task/input_type_list.h"

namespace tessa {

std::optional<int32_t> PanelCombo::ItemData() const {
  if (listIndex < 0 || listIndex >= static_cast<int>(rows.size())) return std::nullopt;
  return rows[listIndex].itemData;
}

int PanelCombo::IndexOfItemData(int32_t value) const {
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].itemData == value) return static_cast<int>(i);
  return -1;
}

std::vector<ListRow> InputTypeListRows() {
  std::vector<ListRow> rows;
  for (const InputTypeRow& r : InputTypeRows()) {
    rows.push_back({"[" + std::to_string(r.code) + "] " + Translate(std::string(r.description)) +
                        std::string(r.extensionPart),
                    r.code});
  }
  return rows;
}

std::vector<ListRow> OutputTypeListRows() {
  return {{"[" + std::to_string(kFileTypePdf) + "] " + Translate("Adobe") + " (PDF)", kFileTypePdf}};
}

std::vector<ListRow> SpecialProcessListRows() {
  return {{"[60] " + Translate("(*.*) Launch (Run) a program"), kSpecialProcessStartProgram},
          {Translate("I NEED SOMETHING NOT LISTED!!!!!!!"), kSpecialProcessRequest}};
}

std::vector<ListRow> WindowStateListRows() {
  return {{Translate("Hidden"), 0}, {Translate("Normal"), 1}, {Translate("Maximized"), 3}, {Translate("Minimized"), 6}};
}

std::vector<ListRow> ThreadPriorityListRows() {
  return {{Translate("Idle"), 64},
          {Translate("Normal"), 32},
          {Translate("High Priority"), 128},
          {Translate("Realtime Priority"), 256}};
}

}  // namespace tessa
