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

// The scan has a key as well as its button.
inline constexpr std::string_view kScanTip = "扫描歌曲 (F5)";

}  // namespace vx::ui
