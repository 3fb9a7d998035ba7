#include "library/cover_frame.h"

#include <QPainter>

namespace vx::ui {

CoverFrame::CoverFrame(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  QPalette black = palette();
  black.setColor(QPalette::WindowText, Qt::black);
  setPalette(black);
}

void CoverFrame::SetCover(QImage cover) {
  m_cover = std::move(cover);
  update();
}

void CoverFrame::paintEvent(QPaintEvent* event) {
  if (!m_cover.isNull()) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), m_cover);
  }
  QFrame::paintEvent(event);
}

}  // namespace vx::ui
