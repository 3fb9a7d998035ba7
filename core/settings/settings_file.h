#pragma once
// REC.re: three folder slots of one length byte and 255 text bytes (GBK), then one spare byte.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

inline constexpr std::size_t kSettingsFileSize = 769;
inline constexpr std::size_t kSettingsSlotSize = 256;
inline constexpr std::size_t kMaxFolderBytes = 255;
inline constexpr std::string_view kSettingsFileName = "REC.re";

enum class FolderSlot { kMusic = 0, kMove = 1, kImage = 2 };

struct FolderSettings {
  std::string musicDir;  // slot 0
  std::string moveDir;   // slot 1
  std::string imageDir;  // slot 2
};

// Creates the settings file as 769 zero bytes when it cannot be opened. An existing file is never
// touched, whatever its size. Returns whether the file exists afterwards.
bool EnsureSettingsFile(std::string_view gbkPath);

// One slot's folder. Empty optional when the settings file cannot be opened. Zero bytes inside the slot
// add nothing; a slot that lies wholly or partly beyond the end of a short file yields what is there.
std::optional<std::string> ReadFolder(std::string_view gbkPath, FolderSlot slot);

// All three slots with one read of the file.
std::optional<FolderSettings> ReadFolders(std::string_view gbkPath);

// The same, from bytes already in memory (the fuzz target feeds this).
FolderSettings ParseFolders(std::string_view fileBytes);

enum class WriteFoldersResult {
  kWritten,
  kNoFile,       // the file could not be opened for writing: nothing saved, as the dialog always did
  kTooLong,      // a folder exceeds 255 bytes: refused, nothing written
  kWriteFailed,  // the file opened but the write did not complete
};

// Rewrites all three slots in place (never creates the file): length byte, text, a zero byte when the
// text is shorter than 255, zero filler. A short file grows to 768 bytes.
WriteFoldersResult WriteFolders(std::string_view gbkPath, const FolderSettings& folders);

// The path of REC.re in a folder (the folder the program starts in).
std::string SettingsPathIn(std::string_view gbkFolder);

}  // namespace vx
