// The option lists of the item editor panel: a row is a label and the number
// the task stores (image type code, special-process id, window state,
// priority class), and a list remembers its selected row.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessa {

struct ListRow {
  std::string text;
  int32_t itemData = 0;
  bool operator==(const ListRow&) const = default;
};

// A drop-down list: its rows and the selected one (-1 none).
struct PanelCombo {
  std::vector<ListRow> rows;
  int listIndex = -1;

  // The number of the selected row; nullopt when none is selected.
  std::optional<int32_t> ItemData() const;
  // The index of the first row carrying value; -1 when none does.
  int IndexOfItemData(int32_t value) const;
};

// Special-process ids of the panel's list.
inline constexpr int32_t kSpecialProcessStartProgram = 60;
inline constexpr int32_t kSpecialProcessRequest = -1;

// The five lists, labels translated. Input types: "[18] Tagged Image File
// Format (*.tif)" ... in the panel's order (TIFF first); output: the one PDF
// row; special processes: start a program (60) and the request row (-1);
// window states 0, 1, 3, 6; priority classes 64, 32, 128, 256.
std::vector<ListRow> InputTypeListRows();
std::vector<ListRow> OutputTypeListRows();
std::vector<ListRow> SpecialProcessListRows();
std::vector<ListRow> WindowStateListRows();
std::vector<ListRow> ThreadPriorityListRows();

}  // namespace tessa
