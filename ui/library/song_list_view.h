#pragma once
// Control 1006: the song table's view, with the background picture tiled under the rows from the top-left
// corner. The picture is painted here rather than set as the base brush, which would also fill the check
// boxes. Home and End move by rows, as in a list, not along the cells of a row.

#include <QPixmap>
#include <QTableView>

namespace vx::ui {

class SongListView : public QTableView {
  Q_OBJECT

 public:
  explicit SongListView(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

 private:
  QPixmap m_tile;
};

}  // namespace vx::ui
