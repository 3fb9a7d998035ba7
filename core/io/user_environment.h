#pragma once
// What belongs to the person rather than to a library: where their own data lives, and their clock.

#include <ctime>
#include <string>

namespace vx {

// $XDG_DATA_HOME (else ~/.local/share) on POSIX systems, %LOCALAPPDATA% on Windows, as a GBK path; empty
// when neither can be found or GBK cannot spell it.
std::string UserDataFolder();

// A moment in the person's local time, "2026-12-08 19:50:12".
std::string LocalTimeText(std::time_t when);

}  // namespace vx
