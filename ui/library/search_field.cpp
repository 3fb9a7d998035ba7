#include "library/search_field.h"

#include <QKeyEvent>

namespace vx::ui {

SearchField::SearchField(QWidget* parent) : QLineEdit(parent) {
  setClearButtonEnabled(true);
}

void SearchField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit Submitted(text(), !event->modifiers().testFlag(Qt::ShiftModifier));
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace vx::ui
