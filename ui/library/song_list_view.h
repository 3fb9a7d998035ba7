#pragma once
// The song table's view, with the background picture tiled under the rows from the top-left corner. The
// picture is painted here rather than set as the base brush, which would also fill the check boxes. Home
// and End move by rows, as in a list, not along the cells of a row.

#include <QPixmap>
#include <QTableView>
#include <cstddef>
#include <span>

namespace vx::ui {

class SongListView : public QTableView {
  Q_OBJECT

 public:
  explicit SongListView(QWidget* parent = nullptr);

  // Highlights exactly these rows (positions), as a mouse would, the last of them current.
  void SelectRows(std::span<const std::size_t> rows);

 protected:
  void paintEvent(QPaintEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

 private:
  QPixmap m_tile;
};

}  // namespace vx::ui
