#include "library/song_list_view.h"

#include <QPainter>

#include "resources/resources.h"

namespace vx::ui {

SongListView::SongListView(QWidget* parent) : QTableView(parent) {
  EnsureResources();
  m_tile = QPixmap(QStringLiteral(":/pictures/table_background.png"));
  viewport()->setAutoFillBackground(false);
}

void SongListView::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(viewport());
    painter.drawTiledPixmap(viewport()->rect(), m_tile);
  }
  QTableView::paintEvent(event);
}

}  // namespace vx::ui
