#pragma once
// The song table's view. Home and End move by rows, as in a list, not along the cells of a row. One
// column (the title) takes the width the others leave when the window grows, so a maximized table has
// no empty band at its right.

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

  // `column` fills the room the other columns leave; it is never narrower than its width now, or than
  // the person makes it later.
  void SetFillColumn(int column);
  // A column's width as it was set, for the fill column without the room it took from the window: the
  // width to remember for the next start.
  int ChosenWidth(int column) const;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void resizeEvent(QResizeEvent* event) override;
  void updateGeometries() override;

 private:
  void FitFillColumn();

  int m_fillColumn = -1;
  int m_fillChosen = 0;
  bool m_fitting = false;
};

}  // namespace vx::ui
