#pragma once
// Keys of the song table beyond the arrow keys, which the form handles itself. Space ticks or unticks
// the highlighted rows, wherever the focus is among the table's cells. Home, End, Page Up and Page Down
// move the highlight as the table does, and then say where it landed, so the cover preview follows them
// as it follows the arrow keys.

#include <QObject>

class QAbstractItemView;

namespace vx::ui {

class SongListKeys : public QObject {
  Q_OBJECT

 public:
  // Watches `list`'s keys; lives as long as the list.
  explicit SongListKeys(QAbstractItemView* list);

 signals:
  void TickToggleRequested();
  // The row the highlight moved to, or -1 when the table has none.
  void HighlightJumped(int row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAbstractItemView* m_list;
  bool m_forwarding = false;
};

}  // namespace vx::ui
