#pragma once
// The start-up switches RegServer and UnregServer. The program has no COM class to register; the same
// switches add or remove its entry in the desktop's menu instead: a desktop entry on freedesktop desktops,
// a Start-menu shortcut on Windows.

#include <filesystem>
#include <string>
#include <string_view>

namespace vx {

enum class RegistrationSwitch { kNone, kRegister, kUnregister };

// Looks at every "-" or "/" on the command line (the arguments after the program name, joined by single
// spaces) and compares the rest of the line from there with "UnregServer" and "RegServer", ignoring case.
// So the switch must be the last thing on the line: "/regserver" registers, "/RegServer now" does not.
RegistrationSwitch FindRegistrationSwitch(std::string_view commandLine);

// The file name of the program's desktop entry inside the applications folder.
inline constexpr std::string_view kDesktopEntryFileName = "vxorganizer.desktop";

// The desktop entry (UTF-8) that starts the program at `executablePath` in `workingFolder`, the folder
// that holds its settings file. Both paths are quoted as the desktop-entry format asks.
std::string DesktopEntryTextUtf8(std::string_view executablePath, std::string_view workingFolder);

#ifdef _WIN32
// The file name (UTF-8) of the program's shortcut inside the Start menu's Programs folder.
inline constexpr std::string_view kShortcutFileName = "VX歌曲整理器.lnk";

// Writes a shell link at `link` that starts `executable` in `workingFolder`, replacing an older one only
// once the new one is complete. False when it could not be written.
bool WriteShortcut(const std::filesystem::path& link, const std::filesystem::path& executable,
                   const std::filesystem::path& workingFolder);

// The name the installer and the uninstaller look for to find an organizer that is running: they must
// not replace or remove the files of a program in use. Keep it in step with installer.nsi.
inline constexpr wchar_t kRunningMarkName[] = L"VXSongOrganizer.Running";
// Makes that name exist for as long as this process runs (the system removes it with the process).
void MarkProgramRunning();
#endif

}  // namespace vx
