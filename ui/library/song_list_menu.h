#pragma once
// The song table's right-click menu: the frame's commands on the ticked songs, as the menus hold them
// (the same actions, so the same texts, shortcuts and enabling), then "打开所在文件夹" for the song
// clicked. A right click highlights its row first, as any click does.

#include <QList>
#include <QObject>
#include <QPoint>
#include <memory>

class QAction;
class QMenu;
class QTableView;

namespace vx::ui {

class SongListMenu : public QObject {
  Q_OBJECT

 public:
  explicit SongListMenu(QTableView* list);

  // The commands in menu order; a null entry is a separator.
  void SetCommands(QList<QAction*> commands);
  // The menu a right click at `viewportPos` opens; null off the rows.
  std::unique_ptr<QMenu> MenuAt(QPoint viewportPos);

 signals:
  void OpenFolderRequested(int row);

 private:
  QTableView* m_list;
  QList<QAction*> m_commands;
};

// Shows `file` in the desktop's file manager: selected in its folder where the platform can do that
// (Explorer on Windows), else the folder opened. False when the folder does not exist or the desktop
// refused.
bool RevealInFileManager(const QString& file);
// What Explorer is given on Windows to open the folder with `file` selected.
QString ExplorerSelectArguments(const QString& file);

}  // namespace vx::ui
