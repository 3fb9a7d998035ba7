#pragma once
// The song table as Qt sees it: cells converted from GBK for display, the tick as the check state of
// column 0. The core table is the data; this adapter decides nothing and keeps no copy of the rows.

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "core/library/song_table.h"
#include "core/operations/operation.h"

namespace vx::ui {

class SongTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The table must outlive the model.
  explicit SongTableModel(SongTable& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // Runs a core call that replaces or reorders the rows inside a model reset, so no view sees the rows
  // change under it.
  void ResetWith(const std::function<void()>& change);
  // Runs a core call that reorders the rows and returns the order it made (order[new] = old; empty when
  // it reordered nothing). The highlight and the current row move with their rows.
  void ReorderWith(const std::function<std::vector<std::size_t>()>& change);
  // Runs a change that appends `count` rows at the end of the table, announced as an insertion so the
  // highlight and the scroll position stay.
  void AppendWith(int count, const std::function<void()>& change);
  // After the core has changed cells or ticks of rows [first, last].
  void RowsChanged(int first, int last);
  // After the core has changed ticks or cells of any rows, but neither their number nor their order.
  void AllRowsChanged();
  // After the core has changed one column's cells (any rows).
  void ColumnChanged(int column);
  // Takes rows out as a core removal did on a copy of the table: `removedAt` holds each row's position as
  // it stood when it went, in the order vx::RemoveRows gives (never decreasing). All of them go in one
  // layout change, so the highlight and ticks stay with the songs that remain however many went.
  // Returns each old row's new position, -1 for a row that went; empty when nothing was removed,
  // including for positions that cannot be a replay of this table.
  std::vector<int> ReplayRemovals(const std::vector<std::size_t>& removedAt);

  // The one way an operation's result reaches the view: `after` is the table the operation worked on (a
  // copy of this one), `change` says what it did to it. Removals go out in one layout change, changed rows
  // and columns repaint, appended rows are inserted, and anything else is a reset, so the highlight, the
  // ticks and the scroll position stay with their songs wherever the change allows. Returns each old row's
  // new position (-1 for a removed row), empty when no row was removed.
  std::vector<int> Apply(SongTable&& after, const TableChange& change);

 private:
  SongTable& m_table;
};

}  // namespace vx::ui
