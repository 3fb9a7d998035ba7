#include "core/shell/registration.h"

#include "core/text/compare.h"

namespace vx {
namespace {

// Exec keys take arguments in double quotes with ", `, $ and \ escaped by a backslash; a literal % is
// doubled so it is not read as a field code.
std::string QuoteExecArgument(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

// Values of string keys escape backslashes and line breaks, which would otherwise end the entry.
std::string EscapeValue(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\n')
      escaped += "\\n";
    else if (c == '\r')
      escaped += "\\r";
    else
      escaped += c;
  }
  return escaped;
}

}  // namespace

RegistrationSwitch FindRegistrationSwitch(std::string_view commandLine) {
  for (std::size_t pos = commandLine.find_first_of("-/"); pos != std::string_view::npos;
       pos = commandLine.find_first_of("-/", pos + 1)) {
    const std::string_view rest = commandLine.substr(pos + 1);
    if (EqualsIgnoringAsciiCase(rest, "UnregServer")) return RegistrationSwitch::kUnregister;
    if (EqualsIgnoringAsciiCase(rest, "RegServer")) return RegistrationSwitch::kRegister;
  }
  return RegistrationSwitch::kNone;
}

std::string DesktopEntryTextUtf8(std::string_view executablePath, std::string_view workingFolder) {
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Name=VX歌曲整理器\n";
  text += "Name[en]=VX Song Organizer\n";
  text += "Comment=VEXUM song folder organizer\n";
  // Escaping the Exec value applies on top of the argument quoting.
  text += "Exec=" + EscapeValue(QuoteExecArgument(executablePath)) + "\n";
  text += "Path=" + EscapeValue(workingFolder) + "\n";
  text += "Terminal=false\n";
  text += "Categories=AudioVideo;Audio;Utility;\n";
  return text;
}

}  // namespace vx
