#pragma once
// Stage backgrounds: the scene names the browser shows for background entries, the one-entry background
// archive, and the builder that turns a person's 596 x 558 picture into such an archive beside it.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/io/file_io.h"
#include "core/io/random_access_file.h"

namespace vx {

// header 16 + entry header and frame fields 28 + pixels 665136 + one directory record 152
inline constexpr std::size_t kBackgroundArchiveSize = 665332;

struct BackgroundScene {
  int number;                 // 1 to 12: the number in the entry name Playing_BG<number>.vxs
  std::string_view listText;  // UTF-8, as the builder's drop-down list shows it
};

// The builder's twelve choices in the order they are added to its list.
inline constexpr std::array<BackgroundScene, 12> kBackgroundScenes = {{
    {1, "1 地下室"},
    {2, "2 快乐街"},
    {3, "3 路影棚"},
    {4, "4 直播现场"},
    {5, "5 喇叭屋"},
    {6, "6 海底宫殿"},
    {7, "7 水母之家"},
    {8, "8 深蓝谷"},
    {9, "9 古来城"},
    {10, "10 比基尼沙滩"},
    {11, "11 除夕之夜"},
    {12, "12 瑞雪兆丰年"},
}};

// The same choices as a list that sorts its items as GBK text shows them: 1, 10, 11, 12, 2, ..., 9. The
// first of them is selected when the browser opens.
std::vector<BackgroundScene> BackgroundListOrder();

// "Playing_BG" + number + ".vxs", GBK (plain ASCII).
std::string BackgroundEntryName(int number);

// Whether the browser calls an entry a background: its characters 9 and 10 (bytes, counting from 1) are
// "BG"; for a name shorter than 10 bytes, its last two.
bool IsBackgroundEntryName(std::string_view gbkName);

// The scene name for the code that stands in the two bytes before the last four of the entry name (the
// first two bytes of a name shorter than six): G1..G9, 10..13, GB. Any other code gives the empty text.
// GBK.
std::string BackgroundTypeNameGbk(std::string_view gbkName);

// The browser's TYPE text: "背景:" + the scene name for a background entry, else empty. GBK.
std::string EntryTypeTextGbk(std::string_view gbkName);

// The 665332 bytes of a background archive: one image entry named `gbkEntryName` with one 596 x 558 frame
// holding `pixels` (665136 bytes, top row first) unchanged. Every number is a constant of the layout the
// game reads, including the pixels' place at offset 44. A name longer than 127 bytes is cut so that a NUL
// always follows it.
Bytes BackgroundArchiveBytes(std::span<const std::uint8_t> pixels, std::string_view gbkEntryName);

// Writes those bytes into a new file; nothing of that name, not even a link, is ever replaced, and a write
// that fails (or is cut short by a crash) leaves no file behind.
OutputResult WriteBackgroundArchive(std::string_view gbkOutputPath, std::span<const std::uint8_t> pixels,
                                    std::string_view gbkEntryName);

inline constexpr int kFirstArchiveNumber = 300;
inline constexpr int kArchiveNumbers = 150;  // Playing1_300.vpi to Playing1_449.vpi

// The folder of the picture (up to and including its last separator; none gives a name relative to the
// current folder) + "Playing1_" + N + ".vpi" for the first N from 300 to 449 not taken (see NameTaken).
// Empty when all 150 exist.
std::optional<std::string> NextArchiveName(std::string_view gbkPicturePath);

struct BackgroundBuild {
  enum Status {
    kWritten,
    kBadPicture,   // header fails the background test, or fewer than 665136 pixel bytes follow it
    kCannotRead,   // the picture cannot be opened
    kNoFreeName,   // Playing1_300.vpi to Playing1_449.vpi all exist: nothing is overwritten
    kCannotWrite,  // the archive could not be created or written
  };
  Status status;
  std::string archivePath;  // GBK; the archive written, or the name that could not be written
};

// Reads the picture (header and pixels in one read) and writes the background archive for scene
// `backgroundNumber` beside it. Says nothing to the person.
BackgroundBuild BuildBackground(std::string_view gbkPicturePath, int backgroundNumber);

// The builder button after the picture has been chosen: builds, then says "生成文件<path>成功~!" when the
// archive was written, "图片格式出错或文件正在被使用" when the picture is refused or cannot be opened, and
// that every name is taken when it is, and "无法写入图片文件:<path>" when the archive cannot be created.
BackgroundBuild MakeBackground(std::string_view gbkPicturePath, int backgroundNumber, Interaction& io);

// The builder button: asks for the picture ("(596*558)位图文件", *.bmp), then MakeBackground. Empty when the
// person cancels.
std::optional<BackgroundBuild> OnMakeBackground(int backgroundNumber, Interaction& io);

}  // namespace vx
