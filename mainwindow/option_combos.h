// The rows of the editor panel's five option lists: the text shown and the
// number each row stands for (image type code, special process, window
// state, priority class).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessa {

struct ComboRow {
  std::string label;  // translated
  int32_t itemData;
};

// Input types: 24 rows, TIFF (18) first, Dr. Halo (21) last; the list index
// of a file extension is FormatTypeIndex (engine/task/input_type_list.h).
std::vector<ComboRow> InputTypeComboRows();
// Output types: the one PDF row (100).
std::vector<ComboRow> TargetTypeComboRows();
// Special processes: run a program (60) and the request row (-1).
std::vector<ComboRow> SpecialProcessComboRows();
// Window states of a started program: Hidden 0, Normal 1, Maximized 3, Minimized 6.
std::vector<ComboRow> WindowStateComboRows();
// Priority classes of a started program: Idle 64, Normal 32, High 128, Realtime 256.
std::vector<ComboRow> ThreadPriorityComboRows();

}  // namespace tessa
