#pragma once
// The words of the library form and of its dialogs that are the window's own (what an operation says
// comes from core/messages.h).

#include <array>
#include <string_view>

namespace vx::ui {

// The library check dialog.
inline constexpr std::string_view kCheckDialogTitle = "检查歌曲库";
inline constexpr std::string_view kCheckTickButton = "勾选报告中的歌曲";
inline constexpr std::string_view kCheckRemoveLeftoversButton = "删除残留的临时文件";
inline constexpr std::string_view kCloseButton = "关闭";

// The history dialog.
inline constexpr std::string_view kHistoryDialogTitle = "修改记录";
inline constexpr std::array<std::string_view, 4> kHistoryColumns = {"时间", "编号", "歌曲名字", "修改"};
inline constexpr std::string_view kHistoryRestoreButton = "恢复";

// The install's choosers.
inline constexpr std::string_view kInstallFolderPrompt = "请选择要导入的歌曲所在的文件夹:";
inline constexpr std::string_view kInstallFilter = "歌曲文件(*.vxn)";
inline constexpr std::string_view kInstallPackFilter = "歌曲包(*.zip *.7z *.rar)";

// The song table's right-click menu has one command of its own.
inline constexpr std::string_view kOpenContainingFolder = "打开所在文件夹";

// What the status bar says after a command that shows nothing of its own on success.
inline constexpr std::string_view kStatusMovedBefore = "已转移";
inline constexpr std::string_view kStatusMovedMiddle = "首,跳过";
inline constexpr std::string_view kStatusMovedAfter = "首";
inline constexpr std::string_view kStatusCoverImported = "已导入图片:";  // "编号12 歌名"
inline constexpr std::string_view kStatusRestored = "已恢复:";           // "编号12 歌名"
inline constexpr std::string_view kStatusRenumbered = "已更改编号:";     // "编号30 歌名 → 77"
inline constexpr std::string_view kStatusRenumberedTo = " → ";
inline constexpr std::string_view kStatusListSaved = "已保存游戏歌曲列表:";  // the file's path
inline constexpr std::string_view kStatusTextListSaved = "已保存文本列表:";  // the file's path
// "已生成3个文本文件:" and the MUSIC folder they went to.
inline constexpr std::string_view kStatusTextsWrittenBefore = "已生成";
inline constexpr std::string_view kStatusTextsWrittenAfter = "个文本文件:";
// "勾选报告中的歌曲" adds to the ticks there were, and says so: a delete may follow.
inline constexpr std::string_view kReportTickedAdded = "首,原来勾选的歌曲仍然勾选着";

// The scan has a key as well as its button.
inline constexpr std::string_view kScanButton = "扫描歌曲";
inline constexpr std::string_view kScanTip = "扫描歌曲 (F5)";
// While a scan runs its button is 取消 and stops it, as Esc does.
inline constexpr std::string_view kCancelScanTip = "取消扫描 (Esc)";

}  // namespace vx::ui
