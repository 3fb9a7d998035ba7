#pragma once
// The main window: menu, toolbar and status bar around the song library form, at a fixed size. Menu and
// toolbar commands are routed from here to the form's operations.

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>

#include "interaction.h"

class QAction;
class QToolBar;

namespace vx::ui {

class CTRAKLYView;
class SearchField;

inline constexpr int kFrameWidth = 922;
inline constexpr int kFrameHeight = 538;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // `gbkStartFolder` holds REC.re; `ui` must outlive the frame.
  CMainFrame(const std::string& gbkStartFolder, Interaction& ui, QWidget* parent = nullptr);

  CTRAKLYView* View() const { return m_view; }
  // The action of a command identifier, or null.
  QAction* Action(int commandId) const;
  QToolBar* ToolBar() const { return m_toolBar; }
  SearchField* Search() const { return m_search; }

  // Command 32785: the archive browser, modal, over the settings file the view uses.
  void OnGameImages();
  // Command 57664.
  void OnAppAbout();
  // Command 57601: reopens a game song list onto the scanned table.
  void OnFileOpen();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct CommandRoute {
    std::function<void()> handler;
    bool enabled = false;
  };
  // Where each command goes, and whether it works yet. Enabling an operation is a change of one flag.
  CommandRoute RouteFor(int commandId);

  void BuildMenus();
  void BuildToolBar();
  // The search field, right-aligned after the command buttons.
  void BuildSearchField();
  void BuildStatusBar();
  QAction* MakeAction(int commandId, std::string_view text);

  Interaction& m_ui;
  CTRAKLYView* m_view = nullptr;
  QToolBar* m_toolBar = nullptr;
  SearchField* m_search = nullptr;
  std::map<int, QAction*> m_actions;
};

}  // namespace vx::ui
