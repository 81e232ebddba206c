// A Qt table model over one of the engine's grids (to-do or log): row 0 of
// the grid gives the headings, every later row is a model row read straight
// from the grid, and the grid's change notices become the model's signals
// for exactly the rows that changed. Pass marks show as pictures.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include "engine/job/flex_grid.h"

namespace tessa {

class GridTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // passColumn: the column whose "+" and "-" are drawn as pictures (-1 none).
  GridTableModel(FlexGrid& grid, int passColumn, QObject* parent = nullptr);
  ~GridTableModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  FlexGrid& Grid() { return grid_; }

  // The pictures of a passed and a failed task.
  static QIcon PassIcon();
  static QIcon FailIcon();

 private:
  void OnChange(const GridChange& change);

  FlexGrid& grid_;
  int passColumn_;
  int handle_ = 0;
  int shownRows_ = 0;  // model rows as last announced
  int shownCols_ = 0;
};

}  // namespace tessa
