#pragma once
// Every text the core says to a person, in one place. Written in UTF-8 here; Gbk() turns one into the
// GBK bytes that cross the Interaction.

#include <string_view>

namespace vx::msg {

inline constexpr std::string_view kAppTitle = "VX歌曲整理器";
// The archive browser's export messages have always carried this caption.
inline constexpr std::string_view kArchiveTitle = "WX歌曲整理器";

inline constexpr std::string_view kCheckFolders = "请检查目录设置";
inline constexpr std::string_view kFolderTooLong = "目录太长(超过255字节),无法保存:";

}  // namespace vx::msg

// Saving a song's title and levels.
namespace vx::msg {
inline constexpr std::string_view kEmptyTableScanFirst = "列表为空,请先扫描";
inline constexpr std::string_view kConfirmSave = "确定修改吗?";
inline constexpr std::string_view kChooseSongFirst = "请先选定一首歌";
inline constexpr std::string_view kSaved = "OK";
inline constexpr std::string_view kSongGone = "选定的歌曲已不在列表中,请重新选定";
inline constexpr std::string_view kTitleTooLong = "歌曲名字太长,最多31个字节(15个汉字)";
inline constexpr std::string_view kTitleUnmappable = "歌曲名字里有游戏无法显示的字符:";
inline constexpr std::string_view kChartTooShort = "歌曲文件太短,无法保存";
inline constexpr std::string_view kChartNotWritten = "无法写入歌曲文件,什么也没有改变";
}  // namespace vx::msg

// The window: folder settings, choosers, the overwrite question, the scan summary.
namespace vx::msg {
inline constexpr std::string_view kChooseFolderPrompt = "请选择文件存放的路径:";
inline constexpr std::string_view kFolderUnmappable = "目录里有GBK无法表示的字符,无法保存:";
inline constexpr std::string_view kSettingsNotWritten = "无法写入设置文件,目录设置没有保存";
inline constexpr std::string_view kPathUnmappable = "路径里有GBK无法表示的字符,无法使用:";
inline constexpr std::string_view kOverwriteQuestion = "目标文件已存在,要替换它吗?";
inline constexpr std::string_view kReplace = "替换";
inline constexpr std::string_view kSkip = "跳过";
inline constexpr std::string_view kCancelRest = "全部取消";
inline constexpr std::string_view kOk = "确定";
inline constexpr std::string_view kCancel = "取消";
inline constexpr std::string_view kScanSummaryFound = "扫描完毕:共找到";
inline constexpr std::string_view kScanSummarySongs = "首歌曲,用时";
inline constexpr std::string_view kScanSummarySeconds = "秒";
}  // namespace vx::msg

// Game image archives: the browser's export and the background builder.
namespace vx::msg {
inline constexpr std::string_view kCheckImageFolder = "请检查图片目录设置";
inline constexpr std::string_view kExportDone = "完成^_^,请到图片目录下查看";
inline constexpr std::string_view kExportNamesUsedUp = "导出文件名已用完(编号0到199的文件都已存在),没有覆盖任何文件:";
inline constexpr std::string_view kExportWriteFailed = "无法写入图片文件:";
inline constexpr std::string_view kBadBackgroundPicture = "图片格式出错或文件正在被使用";
inline constexpr std::string_view kBackgroundWrittenBefore = "生成文件";
inline constexpr std::string_view kBackgroundWrittenAfter = "成功~!";
inline constexpr std::string_view kBackgroundNamesUsedUp =
    "背景文件名已用完(Playing1_300.vpi到Playing1_449.vpi都已存在),没有覆盖任何文件";
inline constexpr std::string_view kArchiveFilter = "VEXUM游戏文件(*.vp?)";
inline constexpr std::string_view kBackgroundPictureFilter = "(596*558)位图文件";
}  // namespace vx::msg
