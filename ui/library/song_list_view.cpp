#include "ui/library/song_list_view.h"

#include <QPainter>

#include "ui/resources/resources.h"

namespace vx::ui {

SongListView::SongListView(QWidget* parent) : QTableView(parent) {
  EnsureResources();
  m_tile = QPixmap(QStringLiteral(":/pictures/table_background.png"));
  viewport()->setAutoFillBackground(false);
}

void SongListView::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(viewport());
    painter.drawTiledPixmap(viewport()->rect(), m_tile);
  }
  QTableView::paintEvent(event);
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

QModelIndex SongListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  // A table's Home and End go to the first and last cell of the row, which in a list of whole rows moves
  // nothing; with Ctrl they go to the first and last row shown, which is what a list does.
  if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
  return QTableView::moveCursor(action, modifiers);
}

}  // namespace vx::ui
