#include "core/settings/settings_file.h"

#include <cstdint>
#include <vector>

#include "core/io/file_io.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

std::string SlotText(std::string_view file, std::size_t slot) {
  const std::size_t offset = slot * kSettingsSlotSize;
  std::string text;
  if (offset >= file.size()) return text;
  const std::size_t length = static_cast<unsigned char>(file[offset]);
  const std::size_t available = std::min(length, file.size() - offset - 1);
  for (char c : file.substr(offset + 1, available))
    if (c != '\0') text += c;
  return text;
}

std::optional<std::string> ReadSettingsBytes(std::string_view gbkPath) {
  auto bytes = ReadFilePrefix(gbkPath, kSettingsFileSize);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

}  // namespace

bool EnsureSettingsFile(std::string_view gbkPath) {
  if (ReadFilePrefix(gbkPath, 0)) return true;
  const std::vector<std::uint8_t> zeros(kSettingsFileSize, 0);
  // Never over whatever the name holds: a file we cannot read is still the person's.
  return WriteOutputFile(gbkPath, zeros, OutputMode::kKeepExisting) == OutputResult::kWritten;
}

FolderSettings ParseFolders(std::string_view fileBytes) {
  return {SlotText(fileBytes, 0), SlotText(fileBytes, 1), SlotText(fileBytes, 2)};
}

std::optional<std::string> ReadFolder(std::string_view gbkPath, FolderSlot slot) {
  auto bytes = ReadSettingsBytes(gbkPath);
  if (!bytes) return std::nullopt;
  return SlotText(*bytes, static_cast<std::size_t>(slot));
}

std::optional<FolderSettings> ReadFolders(std::string_view gbkPath) {
  auto bytes = ReadSettingsBytes(gbkPath);
  if (!bytes) return std::nullopt;
  return ParseFolders(*bytes);
}

WriteFoldersResult WriteFolders(std::string_view gbkPath, const FolderSettings& folders) {
  const std::string* slots[] = {&folders.musicDir, &folders.moveDir, &folders.imageDir};
  for (const std::string* folder : slots)
    if (folder->size() > kMaxFolderBytes) return WriteFoldersResult::kTooLong;
  auto file = ReadWholeFile(gbkPath);
  if (!file) return WriteFoldersResult::kNoFile;

  // The three slots are contiguous and rewritten whole; the spare byte after them, and anything else the
  // file holds, is kept. The new file replaces the old one in one rename, so a failure or a crash
  // leaves the old folders, never a mix.
  if (file->size() < 3 * kSettingsSlotSize) file->resize(3 * kSettingsSlotSize, 0);
  for (std::size_t slot = 0; slot < 3; ++slot) {
    std::uint8_t* p = file->data() + slot * kSettingsSlotSize;
    std::fill(p, p + kSettingsSlotSize, 0);
    p[0] = static_cast<std::uint8_t>(slots[slot]->size());
    std::copy(slots[slot]->begin(), slots[slot]->end(), p + 1);
  }
  return WriteOutputFile(gbkPath, *file) == OutputResult::kWritten ? WriteFoldersResult::kWritten
                                                                   : WriteFoldersResult::kWriteFailed;
}

std::string SettingsPathIn(std::string_view gbkFolder) {
  return JoinPath(gbkFolder, kSettingsFileName);
}

}  // namespace vx
