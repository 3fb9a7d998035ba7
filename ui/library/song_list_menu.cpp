#include "ui/library/song_list_menu.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTableView>
#include <QUrl>

#include "ui/common/qt_text.h"
#include "ui/library/library_texts.h"

namespace vx::ui {

SongListMenu::SongListMenu(QTableView* list) : QObject(list), m_list(list) {
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
    if (const auto menu = MenuAt(pos)) menu->exec(m_list->viewport()->mapToGlobal(pos));
  });
}

void SongListMenu::SetCommands(QList<QAction*> commands) {
  m_commands = std::move(commands);
}

std::unique_ptr<QMenu> SongListMenu::MenuAt(QPoint viewportPos) {
  const int row = m_list->rowAt(viewportPos.y());
  if (row < 0) return nullptr;
  auto menu = std::make_unique<QMenu>(m_list);
  menu->setObjectName(QStringLiteral("songListMenu"));
  for (QAction* command : m_commands) {
    if (command)
      menu->addAction(command);
    else
      menu->addSeparator();
  }
  if (!m_commands.isEmpty()) menu->addSeparator();
  QAction* open = menu->addAction(FromUtf8(kOpenContainingFolder));
  open->setObjectName(QStringLiteral("openContainingFolder"));
  connect(open, &QAction::triggered, this, [this, row] { emit OpenFolderRequested(row); });
  return menu;
}

QString ExplorerSelectArguments(const QString& file) {
  // Explorer reads "/select," and the path as one argument; Qt's own quoting would split them.
  return QStringLiteral("/select,\"%1\"").arg(QDir::toNativeSeparators(file));
}

bool RevealInFileManager(const QString& file) {
  const QString folder = QFileInfo(file).absolutePath();
  if (!QFileInfo(folder).isDir()) return false;
#ifdef Q_OS_WIN
  if (QFileInfo::exists(file)) {
    QProcess explorer;
    explorer.setProgram(QStringLiteral("explorer.exe"));
    explorer.setNativeArguments(ExplorerSelectArguments(file));
    return explorer.startDetached();
  }
#endif
  return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace vx::ui
