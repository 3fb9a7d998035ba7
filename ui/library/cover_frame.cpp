#include "ui/library/cover_frame.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace vx::ui {

CoverFrame::CoverFrame(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  QPalette black = palette();
  black.setColor(QPalette::WindowText, Qt::black);
  setPalette(black);
  setAcceptDrops(true);
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

void CoverFrame::dragEnterEvent(QDragEnterEvent* event) {
  // Whatever comes is let in, so that a wrong drop gets its answer instead of silently bouncing off.
  event->acceptProposedAction();
}

void CoverFrame::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  const QList<QUrl> urls = event->mimeData()->hasUrls() ? event->mimeData()->urls() : QList<QUrl>();
  if (urls.size() == 1 && urls.front().isLocalFile() &&
      QFileInfo(urls.front().toLocalFile()).suffix().compare(QStringLiteral("jpg"), Qt::CaseInsensitive) == 0)
    emit PictureDropped(urls.front().toLocalFile());
  else
    emit DropRefused();
}

}  // namespace vx::ui
