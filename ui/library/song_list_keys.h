#pragma once
// Keys of the song table. Space ticks or unticks the highlighted rows, wherever the focus is among the
// table's cells. The arrow keys, Home, End, Page Up and Page Down move the highlight as the table does,
// and then say where it landed, so the editor and the cover follow them as they follow a click.

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
  // The row the highlight moved to (the current row), or -1 when the table has none.
  void HighlightJumped(int row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAbstractItemView* m_list;
  bool m_forwarding = false;
};

}  // namespace vx::ui
