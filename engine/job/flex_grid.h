// A grid of text cells with one fixed heading row (row 0), a current cell and
// a selection: the store behind the to-do and log grids. Views subscribe to
// its changes; the engine never needs a display to use it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tessa {

// What changed in a grid, told to every subscriber after the change.
struct GridChange {
  enum Kind {
    Reset,          // rows or columns were set wholesale
    RowsInserted,   // count rows now stand at first
    RowsRemoved,    // count rows that stood at first are gone
    CellChanged,    // the cell (first, column) has a new text
    CurrentChanged, // current cell or selection moved
    Layout,         // alignment or width of a column
  };
  Kind kind;
  int first = 0;
  int count = 0;
  int column = 0;
};

class FlexGrid {
 public:
  enum Alignment { AlignLeft, AlignCenter, AlignRight };
  using Subscriber = std::function<void(const GridChange&)>;

  explicit FlexGrid(int cols = 2, int rows = 2);

  int Rows() const { return static_cast<int>(cells_.size()); }
  int Cols() const { return cols_; }
  // Grows with empty rows or drops rows from the end (at least one row stays).
  void SetRows(int rows);
  void SetCols(int cols);

  // The text of a cell; "" for a cell outside the grid.
  const std::string& TextMatrix(int row, int col) const;
  // Writes a cell; a cell outside the grid is ignored (returns false).
  bool SetTextMatrix(int row, int col, const std::string& text);
  const std::vector<std::string>& RowCells(int row) const;

  // Inserts a row at index (Rows() or -1 for the end) whose cells are text
  // split at TAB characters; extra cells are dropped. False for a bad index.
  bool AddItem(const std::string& text, int index = -1);
  // As AddItem, with the cells given one by one: a TAB inside a cell stays.
  bool AddRow(std::vector<std::string> cells, int index = -1);
  // Removes one row below the heading; false for row 0 or a bad index.
  bool RemoveItem(int index);

  int Row() const { return row_; }
  int Col() const { return col_; }
  int RowSel() const { return rowSel_; }
  int ColSel() const { return colSel_; }
  void SetRow(int row);
  void SetCol(int col);
  void SetRowSel(int row);
  void SetColSel(int col);

  Alignment ColAlignment(int col) const;
  void SetColAlignment(int col, Alignment a);
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);

  // Registers fn for every later change; returns a handle for Unsubscribe.
  int Subscribe(Subscriber fn);
  void Unsubscribe(int handle);

 private:
  void Notify(GridChange change);
  int ClampRow(int row) const;
  int ClampCol(int col) const;

  int cols_;
  std::vector<std::vector<std::string>> cells_;
  std::vector<Alignment> alignment_;
  std::vector<int> width_;
  int row_ = 1, col_ = 0, rowSel_ = 1, colSel_ = 0;
  std::vector<std::pair<int, Subscriber>> subscribers_;
  int nextHandle_ = 1;
};

}  // namespace tessa
