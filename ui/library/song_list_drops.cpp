#include "ui/library/song_list_drops.h"

#include <QAbstractItemView>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "core/packs/song_pack.h"

namespace vx::ui {

SongListDrops::SongListDrops(QAbstractItemView* list) : QObject(list) {
  list->viewport()->setAcceptDrops(true);
  list->viewport()->installEventFilter(this);
}

QStringList SongListDrops::SongSources(const QList<QUrl>& urls) {
  QStringList sources;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    const QFileInfo file(url.toLocalFile());
    if (file.isDir() || file.suffix().compare(QStringLiteral("vxn"), Qt::CaseInsensitive) == 0 ||
        IsSongPackName(file.fileName().toStdString()))
      sources << file.filePath();
  }
  return sources;
}

bool SongListDrops::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      // Only what could be a song is let in, so the pointer says at once whether the drop will do anything.
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (drag->mimeData()->hasUrls() && !SongSources(drag->mimeData()->urls()).isEmpty()) {
        drag->acceptProposedAction();
        return true;
      }
      return false;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList sources = SongSources(drop->mimeData()->urls());
      if (sources.isEmpty()) return false;
      drop->acceptProposedAction();
      emit SongsDropped(sources);
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace vx::ui
