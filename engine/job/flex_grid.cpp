#include "engine/job/flex_grid.h"

#include <algorithm>

#include "common/text_helpers.h"

namespace tessa {

namespace {
const std::string kEmpty;
const std::vector<std::string> kNoCells;
}  // namespace

FlexGrid::FlexGrid(int cols, int rows) : cols_(std::max(1, cols)) {
  cells_.assign(std::max(1, rows), std::vector<std::string>(cols_));
  alignment_.assign(cols_, AlignLeft);
  width_.assign(cols_, -1);
}

void FlexGrid::SetRows(int rows) {
  rows = std::max(1, rows);
  cells_.resize(rows, std::vector<std::string>(cols_));
  row_ = ClampRow(row_);
  rowSel_ = ClampRow(rowSel_);
  Notify({GridChange::Reset});
}

void FlexGrid::SetCols(int cols) {
  cols_ = std::max(1, cols);
  for (auto& r : cells_) r.resize(cols_);
  alignment_.resize(cols_, AlignLeft);
  width_.resize(cols_, -1);
  col_ = ClampCol(col_);
  colSel_ = ClampCol(colSel_);
  Notify({GridChange::Reset});
}

const std::string& FlexGrid::TextMatrix(int row, int col) const {
  if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return kEmpty;
  return cells_[row][col];
}

bool FlexGrid::SetTextMatrix(int row, int col, const std::string& text) {
  if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return false;
  cells_[row][col] = text;
  Notify({GridChange::CellChanged, row, 1, col});
  return true;
}

const std::vector<std::string>& FlexGrid::RowCells(int row) const {
  if (row < 0 || row >= Rows()) return kNoCells;
  return cells_[row];
}

bool FlexGrid::AddItem(const std::string& text, int index) { return AddRow(SplitText(text, '\t'), index); }

bool FlexGrid::AddRow(std::vector<std::string> cells, int index) {
  if (index < 0) index = Rows();
  if (index > Rows()) return false;
  cells.resize(cols_);
  cells_.insert(cells_.begin() + index, std::move(cells));
  Notify({GridChange::RowsInserted, index, 1});
  return true;
}

bool FlexGrid::RemoveItem(int index) {
  if (index < 1 || index >= Rows()) return false;
  cells_.erase(cells_.begin() + index);
  row_ = ClampRow(row_);
  rowSel_ = ClampRow(rowSel_);
  Notify({GridChange::RowsRemoved, index, 1});
  return true;
}

void FlexGrid::SetRow(int row) {
  row_ = rowSel_ = ClampRow(row);
  Notify({GridChange::CurrentChanged, row_});
}

void FlexGrid::SetCol(int col) {
  col_ = colSel_ = ClampCol(col);
  Notify({GridChange::CurrentChanged, row_});
}

void FlexGrid::SetRowSel(int row) {
  rowSel_ = ClampRow(row);
  Notify({GridChange::CurrentChanged, row_});
}

void FlexGrid::SetColSel(int col) {
  colSel_ = ClampCol(col);
  Notify({GridChange::CurrentChanged, row_});
}

FlexGrid::Alignment FlexGrid::ColAlignment(int col) const {
  return col >= 0 && col < cols_ ? alignment_[col] : AlignLeft;
}

void FlexGrid::SetColAlignment(int col, Alignment a) {
  if (col < 0 || col >= cols_) return;
  alignment_[col] = a;
  Notify({GridChange::Layout, 0, 0, col});
}

int FlexGrid::ColWidth(int col) const { return col >= 0 && col < cols_ ? width_[col] : 0; }

void FlexGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= cols_) return;
  width_[col] = width;
  Notify({GridChange::Layout, 0, 0, col});
}

int FlexGrid::Subscribe(Subscriber fn) {
  subscribers_.emplace_back(nextHandle_, std::move(fn));
  return nextHandle_++;
}

void FlexGrid::Unsubscribe(int handle) {
  std::erase_if(subscribers_, [handle](const auto& s) { return s.first == handle; });
}

void FlexGrid::Notify(GridChange change) {
  for (const auto& s : subscribers_) s.second(change);
}

int FlexGrid::ClampRow(int row) const { return std::clamp(row, 0, Rows() - 1); }
int FlexGrid::ClampCol(int col) const { return std::clamp(col, 0, cols_ - 1); }

}  // namespace tessa
