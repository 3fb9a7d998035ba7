#pragma once
// The main window: menu, toolbar and status bar around the song library form. It opens at the size that
// shows the whole form and may grow (the song table takes the room), never shrink below that. Menu and
// toolbar commands are routed from here to the form's operations. Its place, size, column widths and
// last sort are remembered in the window's own settings file in the start folder.

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/interaction.h"

class QAction;
class QCheckBox;
class QLabel;
class QToolBar;

namespace vx::ui {

class CTRAKLYView;
class SearchField;
class WindowSettings;

inline constexpr int kFrameWidth = 922;
inline constexpr int kFrameHeight = 538;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // `gbkStartFolder` holds REC.re; `ui` must outlive the frame.
  CMainFrame(const std::string& gbkStartFolder, Interaction& ui, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CTRAKLYView* View() const { return m_view; }
  // The action of a command identifier, or null.
  QAction* Action(int commandId) const;
  QToolBar* ToolBar() const { return m_toolBar; }
  SearchField* Search() const { return m_search; }
  QCheckBox* MatchesOnly() const { return m_matchesOnly; }
  WindowSettings& Settings() const { return *m_settings; }

  // The archive browser, modal, over the settings file the view uses.
  void OnGameImages();
  // The About box.
  void OnAppAbout();
  // Reopens a game song list onto the scanned table.
  void OnFileOpen();
  // Where a first start opens on a screen of `screen` whose work area is `area`: at the form's place
  // and size when there is room; otherwise at most the work area, the form scrolling inside the window.
  void PlaceForFirstStart(const QRect& screen, const QRect& area);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Remembers the window for the next start.
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Where each command goes; a command with nowhere to go is greyed.
  std::function<void()> RouteFor(int commandId);

  void BuildMenus();
  void BuildToolBar();
  // The search field, right-aligned after the command buttons.
  void BuildSearchField();
  void BuildStatusBar();
  // Keys with no button of their own: F5 scans, Ctrl+F goes to the search field, Delete deletes, Ctrl+Y
  // and Ctrl+Shift+Z put back what Ctrl+Z took back.
  void BuildShortcuts();
  // The size and place of the last session, the column widths and the last sort.
  void RestoreFromSettings();
  void FitSmallArea(const QRect& area);
  QAction* MakeAction(int commandId, std::string_view text);
  // While a scan runs, every command that reads or changes the table is off; About, the archive browser
  // and 退出 stay.
  void SetTableCommandsEnabled(bool on);

  Interaction& m_ui;
  CTRAKLYView* m_view = nullptr;
  QToolBar* m_toolBar = nullptr;
  SearchField* m_search = nullptr;
  QCheckBox* m_matchesOnly = nullptr;
  QLabel* m_tickSummary = nullptr;
  std::map<int, QAction*> m_actions;
  std::vector<QAction*> m_tableCommands;
  std::unique_ptr<WindowSettings> m_settings;
};

}  // namespace vx::ui
