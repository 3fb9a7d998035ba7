#pragma once
// The start-up switches RegServer and UnregServer. There is no COM registration outside Windows; on the
// desktops we run on the same switches add or remove the program's desktop entry instead.

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
std::string DesktopEntryText(std::string_view executablePath, std::string_view workingFolder);

}  // namespace vx
