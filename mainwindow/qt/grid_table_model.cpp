#include "mainwindow/qt/grid_table_model.h"

#include <QPainter>
#include <QPixmap>

namespace tessa {

namespace {

QString Cell(const FlexGrid& grid, int row, int col) { return QString::fromStdString(grid.TextMatrix(row, col)); }

// A small round mark: a tick on green for a pass, a cross on red for a fail.
QIcon DrawMark(bool pass) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(pass ? QColor(0x2e, 0x9d, 0x3a) : QColor(0xc6, 0x28, 0x28));
  p.drawEllipse(1, 1, 14, 14);
  p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (pass) {
    p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5)}));
  } else {
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
  }
  return QIcon(pm);
}

}  // namespace

GridTableModel::GridTableModel(FlexGrid& grid, int passColumn, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), passColumn_(passColumn) {
  shownRows_ = grid_.Rows() - 1;
  shownCols_ = grid_.Cols();
  handle_ = grid_.Subscribe([this](const GridChange& c) { OnChange(c); });
}

GridTableModel::~GridTableModel() { grid_.Unsubscribe(handle_); }

QIcon GridTableModel::PassIcon() {
  static const QIcon icon = DrawMark(true);
  return icon;
}

QIcon GridTableModel::FailIcon() {
  static const QIcon icon = DrawMark(false);
  return icon;
}

int GridTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownCols_; }

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + 1;
  const int col = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      if (col == passColumn_ && role == Qt::DisplayRole) return {};
      return Cell(grid_, row, col);
    case Qt::DecorationRole:
      if (col == passColumn_) {
        const std::string& mark = grid_.TextMatrix(row, col);
        if (mark == "+") return PassIcon();
        if (mark == "-") return FailIcon();
      }
      return {};
    case Qt::TextAlignmentRole:
      if (col == passColumn_) return int(Qt::AlignCenter);
      switch (grid_.ColAlignment(col)) {
        case FlexGrid::AlignCenter: return int(Qt::AlignCenter);
        case FlexGrid::AlignRight: return int(Qt::AlignRight | Qt::AlignVCenter);
        default: return int(Qt::AlignLeft | Qt::AlignVCenter);
      }
    case Qt::AccessibleTextRole:
      return Cell(grid_, row, col);
    default:
      return {};
  }
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return Cell(grid_, 0, section);
  if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
  return QAbstractTableModel::headerData(section, orientation, role);
}

void GridTableModel::OnChange(const GridChange& c) {
  // The grid tells after the change; each notice is announced at once, so
  // the announced counts always match the grid.
  switch (c.kind) {
    case GridChange::RowsInserted: {
      const int first = c.first - 1;
      if (first < 0 || c.count <= 0) break;
      beginInsertRows({}, first, first + c.count - 1);
      shownRows_ += c.count;
      endInsertRows();
      return;
    }
    case GridChange::RowsRemoved: {
      const int first = c.first - 1;
      if (first < 0 || c.count <= 0) break;
      beginRemoveRows({}, first, first + c.count - 1);
      shownRows_ -= c.count;
      endRemoveRows();
      return;
    }
    case GridChange::CellChanged:
      if (c.first == 0) {
        emit headerDataChanged(Qt::Horizontal, c.column, c.column);
      } else {
        const QModelIndex at = index(c.first - 1, c.column);
        emit dataChanged(at, at);
      }
      return;
    case GridChange::CurrentChanged:
    case GridChange::Layout:
      return;
    case GridChange::Reset:
      break;
  }
  beginResetModel();
  shownRows_ = grid_.Rows() - 1;
  shownCols_ = grid_.Cols();
  endResetModel();
}

}  // namespace tessa
