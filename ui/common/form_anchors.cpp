#include "ui/common/form_anchors.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace vx::ui {

FormAnchors::FormAnchors(QWidget* form) : QObject(form), m_form(form), m_rest(form->size()) {
  form->installEventFilter(this);
}

void FormAnchors::Add(QWidget* control, Anchor anchor) {
  m_controls.push_back({control, control->geometry(), anchor});
}

void FormAnchors::SetRestSize(QSize rest) {
  m_rest = rest;
  Place();
}

bool FormAnchors::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_form && event->type() == QEvent::Resize) Place();
  return QObject::eventFilter(watched, event);
}

void FormAnchors::Place() {
  const int extraWidth = std::max(0, m_form->width() - m_rest.width());
  const int extraHeight = std::max(0, m_form->height() - m_rest.height());
  for (const Anchored& a : m_controls) {
    switch (a.anchor) {
      case Anchor::kGrow:
        a.control->setGeometry(a.placed.adjusted(0, 0, extraWidth, extraHeight));
        break;
      case Anchor::kFollowBottom:
        a.control->setGeometry(a.placed.translated(0, extraHeight));
        break;
      case Anchor::kFollowRight:
        a.control->setGeometry(a.placed.translated(extraWidth, 0));
        break;
    }
  }
}

}  // namespace vx::ui
