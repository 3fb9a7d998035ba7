#include "ui/app/main_frame.h"

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "core/library/song_table.h"
#include "core/messages.h"
#include "ui/app/about_dlg.h"
#include "ui/app/commands.h"
#include "ui/app/menus.h"
#include "ui/app/window_settings.h"
#include "ui/archive/image_archive_dlg.h"
#include "ui/common/qt_text.h"
#include "ui/library/search_field.h"
#include "ui/library/song_list_view.h"
#include "ui/library/song_search.h"
#include "ui/library/trakly_view.h"
#include "ui/resources/resources.h"

namespace vx::ui {
namespace {

// What a window manager adds around the inside of a window (borders and title bar), at most, as far as
// fitting a window onto a screen goes: the frame's own size is known only once it is shown.
constexpr QSize kDecoration(16, 40);

// `window` (its frame, as move() places it, and its inside's size) moved, and shrunk where it must, so
// that all of it lies inside `area`.
QRect WithinArea(QRect window, const QRect& area) {
  window.setSize(window.size().boundedTo(area.size() - kDecoration));
  const QSize outer = window.size() + kDecoration;
  window.moveLeft(std::clamp(window.left(), area.left(), area.left() + area.width() - outer.width()));
  window.moveTop(std::clamp(window.top(), area.top(), area.top() + area.height() - outer.height()));
  return window;
}

// The picture of toolbar button `index`: the wide button for the toolbar and a square one for menus,
// each drawn at two scales. QIcon gives each place the size and scale it asks for; a menu's 16 pixels
// would squeeze the wide button into a sliver.
QIcon CommandIcon(int index) {
  QIcon icon;
  for (const int scale : {1, 2}) {
    // Decoded once for all the buttons, not once per button.
    static const QImage strips[] = {QImage(QStringLiteral(":/pictures/toolbar.png")),
                                    QImage(QStringLiteral(":/pictures/toolbar@2x.png"))};
    static const QImage menus[] = {QImage(QStringLiteral(":/pictures/menu.png")),
                                   QImage(QStringLiteral(":/pictures/menu@2x.png"))};
    const QImage& strip = strips[scale - 1];
    const QImage& menu = menus[scale - 1];
    const int width = kToolbarPictureWidth * scale, height = kToolbarPictureHeight * scale;
    const int side = kMenuPictureSide * scale;
    for (QPixmap picture : {QPixmap::fromImage(strip.copy(index * width, 0, width, height)),
                            QPixmap::fromImage(menu.copy(index * side, 0, side, side))}) {
      picture.setDevicePixelRatio(scale);
      icon.addPixmap(picture);
    }
  }
  return icon;
}

// The status-bar part of a prompt: the text before the tool-tip part.
QString StatusPrompt(int commandId) {
  for (const Prompt& prompt : kPrompts)
    if (prompt.id == commandId) return FromUtf8(prompt.text.substr(0, prompt.text.find('\n')));
  return {};
}

}  // namespace

CMainFrame::CMainFrame(const std::string& gbkStartFolder, Interaction& ui, QWidget* parent)
    : QMainWindow(parent),
      m_ui(ui),
      m_settings(std::make_unique<WindowSettings>(WindowSettings::PathIn(gbkStartFolder))) {
  EnsureResources();
  setWindowTitle(FromUtf8("VX歌曲整理器"));
  setWindowIcon(ProgramIcon());
  m_view = new CTRAKLYView(gbkStartFolder, ui, this);
  setCentralWidget(m_view);
  BuildMenus();
  BuildToolBar();
  BuildSearchField();
  BuildStatusBar();
  BuildShortcuts();
  connect(m_view, &CTRAKLYView::StatusMessage, statusBar(),
          [this](const QString& text) { statusBar()->showMessage(text); });
  connect(m_view, &CTRAKLYView::ScanRunning, this,
          [this](bool running) { SetTableCommandsEnabled(!running); });
  QList<QAction*> context;
  for (const int id : kContextCommands) context << (id == kCmdSeparator ? nullptr : Action(id));
  m_view->SetContextCommands(context);

  // Opens at one size whatever the screen: it shows the whole form. It may grow, never shrink below it.
  setMinimumSize(kFrameWidth, kFrameHeight);
  resize(kFrameWidth, kFrameHeight);
  // Laid out now, before it is shown, so the form's share of the opening size is known: at that size
  // every control sits where the form places it, and all the window grows beyond goes to the table.
  if (layout()) layout()->activate();
  m_view->SetRestSize(m_view->size());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    PlaceForFirstStart(screen->geometry(), screen->availableGeometry());
  RestoreFromSettings();
  // The player comes back to the library left last time, in the order it was left in.
  m_view->ScanIfFolderExists();
}

void CMainFrame::PlaceForFirstStart(const QRect& screen, const QRect& area) {
  if (area.width() < minimumWidth() + kDecoration.width() ||
      area.height() < minimumHeight() + kDecoration.height())
    FitSmallArea(area);
  move(WithinArea(QRect(QPoint(screen.width() / 17, screen.height() / 15), size()), area).topLeft());
}

void CMainFrame::FitSmallArea(const QRect& area) {
  // A work area smaller than the form (a small screen at a high scale): the window takes what there is
  // and the form scrolls inside it, so every control can still be reached.
  const QSize room = (area.size() - kDecoration).expandedTo(QSize(320, 240));
  setMinimumSize(minimumSize().boundedTo(room));
  resize(size().boundedTo(room));
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("formScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  m_view->setMinimumSize(m_view->size());
  scroll->setWidget(takeCentralWidget());
  setCentralWidget(scroll);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::RestoreFromSettings() {
  if (const auto placement = m_settings->WindowPlacement()) {
    const QRect& geometry = placement->geometry;
    // A place on a screen that is no longer there would put the window out of reach: it opens where a
    // first start does. One partly off its screen (a title bar above the top, saved by a window that did
    // not fit) comes back whole onto that screen.
    if (const QScreen* screen = QGuiApplication::screenAt(geometry.center())) {
      const QRect place = WithinArea(QRect(geometry.topLeft(), geometry.size().expandedTo(minimumSize())),
                                     screen->availableGeometry());
      move(place.topLeft());
      resize(place.size());
    }
    if (placement->maximized) setWindowState(windowState() | Qt::WindowMaximized);
  }
  QHeaderView* header = m_view->SongList()->horizontalHeader();
  if (const auto widths = m_settings->ColumnWidths(kColumnCount))
    for (int c = 0; c < kColumnCount; ++c) header->resizeSection(c, (*widths)[static_cast<std::size_t>(c)]);
  if (const auto sort = m_settings->LastSort()) m_view->RestoreSort({sort->column, sort->ascending});
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // A scan's rows would come to a table nobody sees; its thread must end before the view goes.
  m_view->CancelScan();
  m_view->WaitForScan();
  if (!m_view->SettleEdits()) {
    event->ignore();
    return;
  }
  // The size to come back to is the one before maximizing; the maximized state is kept beside it. The
  // place is the frame's, as move() takes it, so the inside's offset in the frame is taken off.
  const QRect normal =
      isMaximized() ? normalGeometry().translated(pos() - geometry().topLeft()) : QRect(pos(), size());
  m_settings->SetWindowPlacement({normal, isMaximized()});
  std::vector<int> widths;
  // The title's width without what a large window gave it, so a smaller window next time does not scroll.
  const auto* list = qobject_cast<const SongListView*>(m_view->SongList());
  for (int c = 0; c < kColumnCount; ++c)
    widths.push_back(list ? list->ChosenWidth(c) : m_view->SongList()->horizontalHeader()->sectionSize(c));
  m_settings->SetColumnWidths(widths);
  if (const auto sort = m_view->LastSort()) m_settings->SetLastSort({sort->column, sort->ascending});
  m_settings->Save();
  QMainWindow::closeEvent(event);
}

void CMainFrame::SetTableCommandsEnabled(bool on) {
  for (QAction* command : m_tableCommands) command->setEnabled(on);
  // The search ticks and filters the table.
  m_search->setEnabled(on);
  m_matchesOnly->setEnabled(on);
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // A window manager keeps the window from getting smaller than its minimum; on a display without one
  // (a bare X server) nothing does, so the window puts itself back once the resize is over.
  if (!isMinimized() && (width() < minimumWidth() || height() < minimumHeight()))
    QTimer::singleShot(0, this, [this] { resize(size().expandedTo(minimumSize())); });
}

void CMainFrame::BuildShortcuts() {
  // Shown beside "删除歌曲" in its menu; a field being typed in keeps Delete for its text.
  Action(kCmdDeleteSongs)->setShortcut(QKeySequence(Qt::Key_Delete));
  auto* scan = new QAction(this);
  scan->setObjectName(QStringLiteral("scanShortcut"));
  scan->setShortcut(QKeySequence(Qt::Key_F5));
  connect(scan, &QAction::triggered, m_view, &CTRAKLYView::OnScan);
  addAction(scan);
  auto* find = new QAction(this);
  find->setObjectName(QStringLiteral("findShortcut"));
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  connect(find, &QAction::triggered, this, [this] {
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
  });
  addAction(find);
  // Puts back what Ctrl+Z took back, under both keys players know for it.
  auto* redo = new QAction(this);
  redo->setObjectName(QStringLiteral("redoShortcut"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  connect(redo, &QAction::triggered, m_view, &CTRAKLYView::OnRedoChange);
  addAction(redo);
  m_tableCommands.push_back(redo);
}

std::function<void()> CMainFrame::RouteFor(int commandId) {
  CTRAKLYView* view = m_view;
  switch (commandId) {
    case kCmdFolderSettings:
      return [view] { view->OnFolderSettings(); };
    case kCmdTextList:
      return [view] { view->OnTextList(); };
    case kCmdBatchText:
      return [view] { view->OnBatchText(); };
    case kCmdGameList:
      return [view] { view->OnGameList(); };
    case kCmdDeleteSongs:
      return [view] { view->OnDeleteSongs(); };
    case kCmdMoveSongs:
      return [view] { view->OnMoveSongs(); };
    case kCmdExportCovers:
      return [view] { view->OnExportCovers(); };
    case kCmdImportCover:
      return [view] { view->OnImportCover(); };
    case kCmdStatusWeekly:
      return [view] { view->OnStatusWeekly(); };
    case kCmdStatusNewest:
      return [view] { view->OnStatusNewest(); };
    case kCmdStatusPopular:
      return [view] { view->OnStatusPopular(); };
    case kCmdStatusClear:
      return [view] { view->OnStatusClear(); };
    case kCmdGameImages:
      return [this] { OnGameImages(); };
    case kCmdCheckLibrary:
      return [view] { view->OnCheckLibrary(); };
    case kCmdInstallSongs:
      return [view] { view->OnInstallSongs(); };
    case kCmdInstallFolder:
      return [view] { view->OnInstallFolder(); };
    case kCmdInstallPack:
      return [view] { view->OnInstallPack(); };
    case kCmdRenumber:
      return [view] { view->OnRenumber(); };
    case kCmdHistory:
      return [view] { view->OnHistory(); };
    case kCmdUndoChange:
      return [view] { view->OnUndoChange(); };
    case kCmdAbout:
      return [this] { OnAppAbout(); };
    case kCmdFileOpen:
      return [this] { OnFileOpen(); };
    case kCmdExit:
      return [this] { close(); };
    default:
      return {};
  }
}

QAction* CMainFrame::MakeAction(int commandId, std::string_view text) {
  auto* action = new QAction(FromUtf8(text), this);
  action->setObjectName(QStringLiteral("command%1").arg(commandId));
  action->setData(commandId);
  action->setStatusTip(StatusPrompt(commandId));
  if (commandId == kCmdKeepHistory) {
    // For this run only: a history that cannot be written would otherwise stop every change.
    action->setCheckable(true);
    action->setChecked(true);
    connect(action, &QAction::toggled, m_view, &CTRAKLYView::SetKeepHistory);
  } else if (commandId == kCmdViewToolbar || commandId == kCmdViewStatusBar) {
    action->setCheckable(true);
    action->setChecked(true);
    connect(action, &QAction::toggled, this, [this, commandId](bool on) {
      if (commandId == kCmdViewToolbar)
        m_toolBar->setVisible(on);
      else
        statusBar()->setVisible(on);
    });
  } else {
    std::function<void()> handler = RouteFor(commandId);
    action->setEnabled(static_cast<bool>(handler));
    if (handler && commandId != kCmdAbout && commandId != kCmdExit && commandId != kCmdGameImages)
      m_tableCommands.push_back(action);
    if (handler) connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
  }
  if (commandId == kCmdFileOpen) action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  if (commandId == kCmdUndoChange) action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
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
  int picture = 0;
  for (const int id : kToolbar) {
    if (id == kCmdSeparator) {
      m_toolBar->addSeparator();
      continue;
    }
    QAction* action = Action(id);
    action->setIcon(CommandIcon(picture++));
    m_toolBar->addAction(action);
    // These commands carry no tool-tip text of their own; the status bar says what they do.
    if (QWidget* button = m_toolBar->widgetForAction(action)) button->installEventFilter(this);
  }
}

void CMainFrame::BuildSearchField() {
  auto* spacer = new QWidget(m_toolBar);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  m_toolBar->addWidget(spacer);
  m_matchesOnly = new QCheckBox(FromUtf8(kMatchesOnly), m_toolBar);
  m_matchesOnly->setObjectName(QStringLiteral("matchesOnly"));
  m_toolBar->addWidget(m_matchesOnly);
  connect(m_matchesOnly, &QCheckBox::toggled, m_view->Search(), &SongSearch::SetMatchesOnly);
  m_search = new SearchField(m_toolBar);
  m_search->setObjectName(QStringLiteral("search"));
  m_search->setPlaceholderText(FromUtf8(kSearchPlaceholder));
  m_search->SetWidths(kSearchFieldMinWidth, kSearchFieldWidth);
  m_search->setToolTip(FromUtf8(kSearchTip));
  m_toolBar->addWidget(m_search);
  connect(m_search, &QLineEdit::textChanged, m_view->Search(), &SongSearch::OnTextChanged);
  connect(m_search, &SearchField::Submitted, m_view->Search(), &SongSearch::OnSubmitted);
}

void CMainFrame::BuildStatusBar() {
  auto* idle = new QLabel(FromUtf8(kIdleText), this);
  idle->setObjectName(QStringLiteral("idleText"));
  statusBar()->addWidget(idle, 1);
  // The ticked songs, and while "只显示匹配" hides rows, how many of them are out of sight.
  // In sight from the start, so the count is there before the first scan reports it.
  m_tickSummary = new QLabel(FromUtf8(msg::kTickedBefore) + u'0' + FromUtf8(msg::kQueryMatchesAfter), this);
  m_tickSummary->setObjectName(QStringLiteral("tickSummary"));
  statusBar()->addPermanentWidget(m_tickSummary);
  connect(m_view, &CTRAKLYView::TickSummary, this, [this](const QString& text) {
    m_tickSummary->setText(text);
    m_tickSummary->setVisible(!text.isEmpty());
  });
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
