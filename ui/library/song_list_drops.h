#pragma once
// Song files dropped on the song table: local .vxn files, folders and packs (.zip, .7z, .rar) go to the
// install, anything else is left alone. Watches the table's viewport, where drops land.

#include <QObject>
#include <QStringList>

class QAbstractItemView;

namespace vx::ui {

class SongListDrops : public QObject {
  Q_OBJECT

 public:
  // Takes drops on `list`'s viewport for as long as both live.
  explicit SongListDrops(QAbstractItemView* list);

  // The local files ending in .vxn (any case) and the local folders among `urls`' paths; others are
  // dropped from the list.
  static QStringList SongSources(const QList<QUrl>& urls);

 signals:
  // At least one chart file or folder; paths as Qt gives them.
  void SongsDropped(const QStringList& localPaths);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vx::ui
