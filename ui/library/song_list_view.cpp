#include "ui/library/song_list_view.h"

#include <QHeaderView>
#include <algorithm>

namespace vx::ui {

SongListView::SongListView(QWidget* parent) : QTableView(parent) {
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (m_fitting) return;
    if (column == m_fillColumn) m_fillChosen = width;
    FitFillColumn();
  });
}

void SongListView::SelectRows(std::span<const std::size_t> rows) {
  QItemSelection selection;
  for (const std::size_t row : rows) {
    const QModelIndex index = model()->index(static_cast<int>(row), 0);
    selection.select(index, index);
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (!rows.empty())
    selectionModel()->setCurrentIndex(model()->index(static_cast<int>(rows.back()), 0),
                                      QItemSelectionModel::NoUpdate);
}

void SongListView::SetFillColumn(int column) {
  m_fillColumn = column;
  m_fillChosen = columnWidth(column);
  FitFillColumn();
}

int SongListView::ChosenWidth(int column) const {
  return column == m_fillColumn ? m_fillChosen : columnWidth(column);
}

QModelIndex SongListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  // A table's Home and End go to the first and last cell of the row, which in a list of whole rows moves
  // nothing; with Ctrl they go to the first and last row shown, which is what a list does.
  if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
  return QTableView::moveCursor(action, modifiers);
}

void SongListView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  FitFillColumn();
}

void SongListView::updateGeometries() {
  QTableView::updateGeometries();
  // A scroll bar coming or going changes the room as a resize does.
  FitFillColumn();
}

void SongListView::FitFillColumn() {
  if (m_fitting || m_fillColumn < 0 || !model() || m_fillColumn >= model()->columnCount()) return;
  QHeaderView* header = horizontalHeader();
  const int room = viewport()->width() - (header->length() - header->sectionSize(m_fillColumn));
  // The widths were made for a form whose frame and scroll bar took a few pixels less than this style's
  // do: an overflow that small is taken from the column rather than shown as a horizontal scroll bar. A
  // column the player made wider than the room by more than that keeps its width, and the table scrolls.
  constexpr int kSlack = 24;
  const int width = room >= m_fillChosen - kSlack ? room : m_fillChosen;
  if (width == header->sectionSize(m_fillColumn)) return;
  m_fitting = true;
  header->resizeSection(m_fillColumn, width);
  m_fitting = false;
}

}  // namespace vx::ui
