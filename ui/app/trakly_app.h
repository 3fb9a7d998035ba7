#pragma once
// Start-up: the registration switches, the settings file in the folder the program starts in, the main
// window.

#include <QApplication>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace vx::ui {

class CMainFrame;
class QtInteraction;

// Where the user's own menu entries live: $XDG_DATA_HOME/applications, or ~/.local/share/applications
// when XDG_DATA_HOME is unset or not absolute; on Windows the Start menu's Programs folder under
// %APPDATA%.
QString ApplicationsFolder();

// Handles "RegServer" / "UnregServer" at the end of the command line (`arguments` as Qt gives them, the
// program first): installs or removes the menu entry (the desktop entry, or the Start-menu shortcut on
// Windows) and gives the exit code. Empty when neither switch is there and the window should start.
std::optional<int> HandleRegistrationSwitch(const QStringList& arguments);

// The same from main(), before any window system is touched, so the switches work without a display.
std::optional<int> HandleRegistrationSwitch(int& argc, char** argv);

// Qt's own texts (file dialogs, standard buttons) in Simplified Chinese, from the catalogue compiled into
// the program. False when it could not be loaded; those texts then stay in English.
bool InstallQtChinese(QCoreApplication& app);

class CTRAKLYApp : public QApplication {
  Q_OBJECT

 public:
  CTRAKLYApp(int& argc, char** argv);
  ~CTRAKLYApp() override;

  // Everything before the event loop. An exit code means the program ends without a window.
  std::optional<int> InitInstance();

 private:
  std::unique_ptr<QtInteraction> m_interaction;
  std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace vx::ui
