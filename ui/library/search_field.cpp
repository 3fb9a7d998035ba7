#include "ui/library/search_field.h"

#include <QKeyEvent>

namespace vx::ui {

SearchField::SearchField(QWidget* parent) : QLineEdit(parent) {
  setClearButtonEnabled(true);
}

void SearchField::SetWidths(int minimum, int preferred) {
  m_preferredWidth = preferred;
  setMinimumWidth(minimum);
  setMaximumWidth(preferred);
  updateGeometry();
}

QSize SearchField::sizeHint() const {
  const QSize hint = QLineEdit::sizeHint();
  return m_preferredWidth > 0 ? QSize(m_preferredWidth, hint.height()) : hint;
}

void SearchField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit Submitted(text(), !event->modifiers().testFlag(Qt::ShiftModifier));
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
    clear();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace vx::ui
