#pragma once
// The archive browser's export: every frame of the selected image entries as frame BMP files in the
// image-export folder.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/interaction.h"

namespace vx {

// One row of the browser's entry list: what every operation on a row needs.
struct EntryRow {
  std::string name;  // GBK, as read from the directory
  int directoryIndex;
};

inline constexpr int kExportNamesPerEntry = 200;

// Whether anything, even a dangling symbolic link, has this name: an output name is free only when not.
bool NameTaken(std::string_view gbkPath);

// imageDir + separator + name + n + ".bmp" for the first n from 0 to 199 that is not taken, the
// name being the entry name made file-name safe (MakeFileNameSafe, as a song title is), so that a name read
// from an archive never chooses a folder. Empty when all 200 exist.
std::optional<std::string> NextExportName(std::string_view gbkImageDir, std::string_view gbkEntryName);

struct ExportReport {
  int filesWritten = 0;
  int rowsDone = 0;    // rows that got the completion message
  int rowsFailed = 0;  // rows that did not write every frame: a frame refused or not written, names used up,
                       // an archive or entry that could not be read
};

// The export button. With no image-export folder: "请检查图片目录设置" and nothing else. Otherwise, row by
// row in the order given, each image entry's frames go to new files named by NextExportName (nothing that
// exists is ever replaced, not even a link). A row writes every frame (a row that is no image entry has
// none to write) or fails: a file not written, all 200 names taken, or something passed over, each with
// the reader's reason (an archive that cannot be opened, an entry that cannot be placed, each frame that
// does not decode). One message at the end: for a single row "完成^_^,请到图片目录下查看" or what failed;
// for several, how many frames of how many entries, the entries that wrote nothing, and what failed.
// Messages carry the caption "WX歌曲整理器".
ExportReport ExportImages(std::string_view gbkArchivePath, std::string_view gbkImageDir,
                          std::span<const EntryRow> selectedRows, Interaction& io);

}  // namespace vx
