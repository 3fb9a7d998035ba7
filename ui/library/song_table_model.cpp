#include "ui/library/song_table_model.h"

#include "core/text/gbk.h"
#include "ui/common/qt_text.h"

namespace vx::ui {

SongTableModel::SongTableModel(SongTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {}

int SongTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_table.Size());
}

int SongTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant SongTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (role == Qt::CheckStateRole && index.column() == kColTick)
    return m_table.IsTicked(row) ? Qt::Checked : Qt::Unchecked;
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    const std::string& cell = m_table.Cell(row, index.column());
    if (cell.empty()) return {};
    return FromGbk(cell);
  }
  return {};
}

QVariant SongTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) {
    return FromUtf8(kColumns[static_cast<std::size_t>(section)].header);
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags SongTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == kColTick) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

bool SongTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || index.column() != kColTick ||
      !checkIndex(index, CheckIndexOption::IndexIsValid))
    return false;
  m_table.SetTicked(static_cast<std::size_t>(index.row()),
                    static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

void SongTableModel::ResetWith(const std::function<void()>& change) {
  beginResetModel();
  change();
  endResetModel();
}

void SongTableModel::ReorderWith(const std::function<std::vector<std::size_t>()>& change) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const std::vector<std::size_t> order = change();
  if (!order.empty()) {
    std::vector<int> newPosition(order.size());
    for (std::size_t to = 0; to < order.size(); ++to) newPosition[order[to]] = static_cast<int>(to);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
      to.append(this->index(newPosition[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(from, to);
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SongTableModel::AppendWith(int count, const std::function<void()>& change) {
  if (count <= 0) {
    change();
    return;
  }
  beginInsertRows({}, rowCount(), rowCount() + count - 1);
  change();
  endInsertRows();
}

void SongTableModel::RowsChanged(int first, int last) {
  if (first > last || last >= rowCount()) return;
  emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
}

void SongTableModel::AllRowsChanged() {
  RowsChanged(0, rowCount() - 1);
}

void SongTableModel::ColumnChanged(int column) {
  if (rowCount() == 0 || column < 0 || column >= kColumnCount) return;
  emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

std::vector<int> SongTableModel::ReplayRemovals(const std::vector<std::size_t>& removedAt) {
  // Each earlier removal moved the rows below it up by one, so the k-th went from old row removedAt[k] + k.
  const std::size_t before = m_table.Size();
  std::vector<std::size_t> gone;
  gone.reserve(removedAt.size());
  for (std::size_t k = 0; k < removedAt.size(); ++k) {
    const std::size_t old = removedAt[k] + k;
    // Not a replay of this table: never erase past its end or guess.
    if ((k > 0 && removedAt[k] < removedAt[k - 1]) || old >= before) return {};
    gone.push_back(old);
  }
  if (gone.empty()) return {};

  std::vector<int> newPosition(before, -1);
  for (std::size_t old = 0, next = 0, at = 0; old < before; ++old) {
    if (next < gone.size() && gone[next] == old)
      ++next;
    else
      newPosition[old] = static_cast<int>(at++);
  }
  // Thousands of scattered rows as separate removals would make the view walk its rows and selection
  // once for each; as one layout change it does so once.
  emit layoutAboutToBeChanged();
  m_table.RemovePositions(gone);
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& index : from) {
    const int row = newPosition[static_cast<std::size_t>(index.row())];
    to.append(row < 0 ? QModelIndex() : this->index(row, index.column()));
  }
  changePersistentIndexList(from, to);
  emit layoutChanged();
  return newPosition;
}

std::vector<int> SongTableModel::Apply(SongTable&& after, const TableChange& change) {
  const std::size_t removed = change.removedAt.size();
  const bool consistent =
      m_table.Size() - removed + change.appended == after.Size() && m_table.Size() >= removed;
  if (change.reset || !consistent) {
    ResetWith([&] { m_table = std::move(after); });
    return {};
  }
  std::vector<int> newPosition;
  if (removed > 0) {
    newPosition = ReplayRemovals(change.removedAt);
    if (newPosition.empty()) {  // not a replay of this table after all
      ResetWith([&] { m_table = std::move(after); });
      return {};
    }
  }
  const std::size_t kept = m_table.Size();
  for (std::size_t row = 0; row < kept; ++row) m_table.SetRow(row, after.Row(row));
  if (change.allRowsChanged) AllRowsChanged();
  for (const std::size_t row : change.changedRows)
    if (row < kept) RowsChanged(static_cast<int>(row), static_cast<int>(row));
  if (change.changedColumn) ColumnChanged(*change.changedColumn);
  if (change.appended > 0)
    AppendWith(static_cast<int>(change.appended), [&] {
      for (std::size_t row = kept; row < after.Size(); ++row) m_table.Append(after.Row(row));
    });
  return newPosition;
}

}  // namespace vx::ui
