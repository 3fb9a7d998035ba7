#include "app/main_frame.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/about_dlg.h"
#include "app/commands.h"
#include "archive/image_archive_dlg.h"
#include "library/search_field.h"
#include "library/trakly_view.h"
#include "resources/resources.h"

namespace vx::ui {
namespace {

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The status-bar part of a prompt: the text before the tool-tip part.
QString StatusPrompt(int commandId) {
  for (const Prompt& prompt : kPrompts)
    if (prompt.id == commandId) return FromUtf8(prompt.text.substr(0, prompt.text.find('\n')));
  return {};
}

}  // namespace

CMainFrame::CMainFrame(const std::string& gbkStartFolder, Interaction& ui, QWidget* parent)
    : QMainWindow(parent), m_ui(ui) {
  EnsureResources();
  setWindowTitle(FromUtf8("VX歌曲整理器"));
  setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
  m_view = new CTRAKLYView(gbkStartFolder, ui, this);
  setCentralWidget(m_view);
  BuildMenus();
  BuildToolBar();
  BuildSearchField();
  BuildStatusBar();
  connect(m_view, &CTRAKLYView::StatusMessage, statusBar(),
          [this](const QString& text) { statusBar()->showMessage(text); });

  // One size, whatever the screen: it shows the whole form, and the border cannot change it.
  setFixedSize(kFrameWidth, kFrameHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.width() / 17, area.height() / 15);
  }
}

CMainFrame::CommandRoute CMainFrame::RouteFor(int commandId) {
  CTRAKLYView* view = m_view;
  switch (commandId) {
    case kCmdFolderSettings:
      return {[view] { view->OnFolderSettings(); }, true};
    case kCmdTextList:
      return {[view] { view->OnTextList(); }, true};
    case kCmdBatchText:
      return {[view] { view->OnBatchText(); }, true};
    case kCmdGameList:
      return {[view] { view->OnGameList(); }, true};
    case kCmdDeleteSongs:
      return {[view] { view->OnDeleteSongs(); }, true};
    case kCmdMoveSongs:
      return {[view] { view->OnMoveSongs(); }, true};
    case kCmdExportCovers:
      return {[view] { view->OnExportCovers(); }, true};
    case kCmdImportCover:
      return {[view] { view->OnImportCover(); }, true};
    case kCmdStatusWeekly:
      return {[view] { view->OnStatusWeekly(); }, true};
    case kCmdStatusNewest:
      return {[view] { view->OnStatusNewest(); }, true};
    case kCmdStatusPopular:
      return {[view] { view->OnStatusPopular(); }, true};
    case kCmdStatusClear:
      return {[view] { view->OnStatusClear(); }, true};
    case kCmdGameImages:
      return {[this] { OnGameImages(); }, true};
    case kCmdCheckLibrary:
      return {[view] { view->OnCheckLibrary(); }, true};
    case kCmdAbout:
      return {[this] { OnAppAbout(); }, true};
    case kCmdFileOpen:
      return {[this] { OnFileOpen(); }, true};
    case kCmdExit:
      return {[this] { close(); }, true};
    default:
      return {};
  }
}

QAction* CMainFrame::MakeAction(int commandId, std::string_view text) {
  auto* action = new QAction(FromUtf8(text), this);
  action->setObjectName(QStringLiteral("command%1").arg(commandId));
  action->setData(commandId);
  action->setStatusTip(StatusPrompt(commandId));
  if (commandId == kCmdViewToolbar || commandId == kCmdViewStatusBar) {
    action->setCheckable(true);
    action->setChecked(true);
    connect(action, &QAction::toggled, this, [this, commandId](bool on) {
      if (commandId == kCmdViewToolbar)
        m_toolBar->setVisible(on);
      else
        statusBar()->setVisible(on);
    });
  } else {
    CommandRoute route = RouteFor(commandId);
    action->setEnabled(route.enabled && route.handler);
    if (route.handler)
      connect(action, &QAction::triggered, this, [handler = std::move(route.handler)] { handler(); });
  }
  if (commandId == kCmdFileOpen) action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  m_actions[commandId] = action;
  return action;
}

QAction* CMainFrame::Action(int commandId) const {
  const auto found = m_actions.find(commandId);
  return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::BuildMenus() {
  for (const Menu& menu : kMenus) {
    QMenu* qmenu = menuBar()->addMenu(FromUtf8(menu.title));
    for (int i = 0; i < menu.itemCount; ++i) {
      const MenuItem& item = menu.items[static_cast<std::size_t>(i)];
      if (item.id == kCmdSeparator)
        qmenu->addSeparator();
      else
        qmenu->addAction(MakeAction(item.id, item.text));
    }
  }
}

void CMainFrame::BuildToolBar() {
  m_toolBar = addToolBar(QStringLiteral("toolbar"));
  m_toolBar->setObjectName(QStringLiteral("toolbar"));
  m_toolBar->setIconSize(QSize(kToolbarPictureWidth, kToolbarPictureHeight));
  m_toolBar->setMovable(true);
  const QPixmap strip(QStringLiteral(":/pictures/toolbar.png"));
  int picture = 0;
  for (const int id : kToolbar) {
    if (id == kCmdSeparator) {
      m_toolBar->addSeparator();
      continue;
    }
    QAction* action = Action(id);
    action->setIcon(
        QIcon(strip.copy(picture++ * kToolbarPictureWidth, 0, kToolbarPictureWidth, kToolbarPictureHeight)));
    m_toolBar->addAction(action);
    // These commands carry no tool-tip text of their own; the status bar says what they do.
    if (QWidget* button = m_toolBar->widgetForAction(action)) button->installEventFilter(this);
  }
}

void CMainFrame::BuildSearchField() {
  auto* spacer = new QWidget(m_toolBar);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  m_toolBar->addWidget(spacer);
  m_search = new SearchField(m_toolBar);
  m_search->setObjectName(QStringLiteral("search"));
  m_search->setPlaceholderText(FromUtf8(kSearchPlaceholder));
  m_search->setFixedWidth(kSearchFieldWidth);
  m_toolBar->addWidget(m_search);
  connect(m_search, &QLineEdit::textChanged, m_view, &CTRAKLYView::OnSearchChanged);
  connect(m_search, &SearchField::Submitted, m_view, &CTRAKLYView::OnSearchSubmitted);
}

void CMainFrame::BuildStatusBar() {
  auto* idle = new QLabel(FromUtf8(kIdleText), this);
  idle->setObjectName(QStringLiteral("idleText"));
  statusBar()->addWidget(idle, 1);
  for (const std::string_view indicator : kIndicators) {
    auto* pane = new QLabel(FromUtf8(indicator), this);
    pane->setObjectName(QStringLiteral("indicator"));
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 8);
    // The lock states cannot be read portably; the panes stay greyed as an idle indicator does.
    pane->setEnabled(false);
    statusBar()->addPermanentWidget(pane);
  }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && qobject_cast<QToolButton*>(watched)) return true;
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnGameImages() {
  CImageArchiveDlg browser(m_view->SettingsPath(), m_ui, this);
  browser.exec();
}

void CMainFrame::OnAppAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CMainFrame::OnFileOpen() {
  m_view->OnOpenSongList();
}

}  // namespace vx::ui
