#include "ui/library/song_list_keys.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>

namespace vx::ui {

SongListKeys::SongListKeys(QAbstractItemView* list) : QObject(list), m_list(list) {
  list->installEventFilter(this);
}

bool SongListKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_list || event->type() != QEvent::KeyPress || m_forwarding) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  switch (key->key()) {
    case Qt::Key_Space:
      // With Ctrl, Space keeps the table's own meaning: adding a row to the highlight.
      if (modifiers != Qt::NoModifier) return false;
      emit TickToggleRequested();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      // The table moves first; only then is it known where the highlight landed.
      m_forwarding = true;
      QCoreApplication::sendEvent(m_list, event);
      m_forwarding = false;
      emit HighlightJumped(m_list->currentIndex().row());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vx::ui
