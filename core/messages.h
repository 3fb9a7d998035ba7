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
// Followed by the folder (or nothing, when none is set).
inline constexpr std::string_view kScanFolderUnreadable = "MUSIC文件夹不存在或无法读取,没有找到歌曲:";
// Followed by the folder.
inline constexpr std::string_view kCannotOpenFolder = "无法打开文件夹:";
// While only matching songs are shown: "已勾选30首,其中18首未显示".
inline constexpr std::string_view kTickedBefore = "已勾选";
inline constexpr std::string_view kTickedHiddenBefore = "首,其中";
inline constexpr std::string_view kTickedHiddenAfter = "首未显示";
// A drop on the cover preview that is not one .jpg file.
inline constexpr std::string_view kDropOneJpeg = "只能把一个.jpg图片拖到封面上";
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

// Reopening a game song list, checking the library, ticking by search.
namespace vx::msg {
inline constexpr std::string_view kMarkWeekly = "一周更新";
inline constexpr std::string_view kMarkNewest = "最新更新";
inline constexpr std::string_view kMarkPopular = "最受欢迎";
inline constexpr std::string_view kOpenFilterDat = "VX列表文件(*.dat)";
inline constexpr std::string_view kOpenFilterSml = " 列表文件(*.SML)";
// Followed by the path.
inline constexpr std::string_view kListUnreadable = "无法读取文件:";
// "这不是完整的游戏歌曲列表文件:<path>\n<reason>(第<offset>字节)".
inline constexpr std::string_view kListRefused = "这不是完整的游戏歌曲列表文件:";
inline constexpr std::string_view kListAtByteBefore = "(第";
inline constexpr std::string_view kListAtByteAfter = "字节)";
inline constexpr std::string_view kListTooLarge = "文件太大,5000首歌曲的列表也没有这么大";
inline constexpr std::string_view kListChartCountMissing = "文件太短,连歌曲数都没有";
inline constexpr std::string_view kListChartCountInvalid = "歌曲数不对(小于0或大于5000)";
inline constexpr std::string_view kListChartsTruncated = "文件在歌曲资料中间结束了";
inline constexpr std::string_view kListStatusCountInvalid = "状态数不对(小于0或大于歌曲数)";
inline constexpr std::string_view kListStatusesTruncated = "文件在状态资料中间结束了";
inline constexpr std::string_view kListTrailingBytes = "状态资料之后还有多余的字节";
inline constexpr std::string_view kListStatusIdInvalid = "状态资料里的编号不在0到4999之间";
inline constexpr std::string_view kListStatusPadding = "状态资料的第二项不是0";
inline constexpr std::string_view kListStatusUnknown = "状态资料里有不认识的状态";
inline constexpr std::string_view kListStatusRepeated = "同一个编号有两条状态资料";
// "已勾选12首歌曲,设置了3个状态。"
inline constexpr std::string_view kListTickedBefore = "已勾选";
inline constexpr std::string_view kListTickedAfter = "首歌曲,设置了";
inline constexpr std::string_view kListMarkedAfter = "个状态。";
// Followed by one title per line.
inline constexpr std::string_view kListSongsMissing = "列表里的以下歌曲不在文件夹里:";
inline constexpr std::string_view kListUntitled = "(无歌名)";
// Followed by the IDs, separated by commas.
inline constexpr std::string_view kListMarksMissing = "以下编号有状态资料,但文件夹里没有这首歌:";
inline constexpr std::string_view kListMoreBefore = "……(共";
inline constexpr std::string_view kListMoreAfter = "首)";
}  // namespace vx::msg

// The library check report, one line per finding.
namespace vx::msg {
inline constexpr std::string_view kCheckSongBefore = "编号";
inline constexpr std::string_view kCheckSongAfter = ":";
inline constexpr std::string_view kCheckMusicMissing = "缺少音乐文件";
inline constexpr std::string_view kCheckChartMissing = "只有音乐文件,缺少歌曲文件";
inline constexpr std::string_view kCheckLeadingZeros = ":编号前面有0,游戏不会读取这个文件";
inline constexpr std::string_view kCheckOtherCase = ":大小写和游戏要的不同,游戏不会读取这个文件,应为";
inline constexpr std::string_view kCheckIdTooLarge = ":编号超过4999,游戏不会读取这个文件";
inline constexpr std::string_view kCheckUnreadable = "无法读取歌曲文件";
inline constexpr std::string_view kCheckShortBefore = "歌曲文件";
inline constexpr std::string_view kCheckShortAfter = "不足300字节,文件头不完整";
inline constexpr std::string_view kCheckCoverOutsideBefore = "封面超出了歌曲文件";
inline constexpr std::string_view kCheckCoverOutsideAfter = "的末尾";
inline constexpr std::string_view kCheckCoverBadBefore = "歌曲文件";
inline constexpr std::string_view kCheckCoverBadAfter = "里的封面不是JPG图片";
inline constexpr std::string_view kCheckDuplicate = "歌曲名字和NOTER都相同,可能重复:";
inline constexpr std::string_view kCheckClean = "没有发现问题";
inline constexpr std::string_view kCheckFolderUnreadable = "无法读取MUSIC文件夹,什么也没有检查";
}  // namespace vx::msg

// The search field's query errors; each is followed by what was typed.
namespace vx::msg {
inline constexpr std::string_view kQueryNotGbk = "搜索里有GBK没有的字符:";
inline constexpr std::string_view kQueryUnclosedQuote = "引号没有配对:";
inline constexpr std::string_view kQueryEmptyValue = "冒号后面缺少数值:";
inline constexpr std::string_view kQueryBadNumber = "看不懂的数值:";
inline constexpr std::string_view kQueryRangeReversed = "范围的下限大于上限:";
// "符合条件的歌曲:12首"
inline constexpr std::string_view kQueryMatchesBefore = "符合条件的歌曲:";
inline constexpr std::string_view kQueryMatchesAfter = "首";
}  // namespace vx::msg

// The window's status bar after ticking from the library check or the search field; each is followed by
// the number of songs, then "首".
namespace vx::msg {
inline constexpr std::string_view kReportTicked = "已勾选报告中的歌曲:";
inline constexpr std::string_view kQueryTicked = "已勾选符合条件的歌曲:";
inline constexpr std::string_view kQueryUnticked = "已取消勾选符合条件的歌曲:";
}  // namespace vx::msg

// Library operations on the ticked rows: text lists, the game list, delete and move, covers, status marks.
namespace vx::msg {
// The empty-table messages differ from command to command, and each command keeps its own.
inline constexpr std::string_view kEmptyTableTextList = "列表为空，请先扫描歌曲";  // full-width comma
inline constexpr std::string_view kEmptyTableScan = "列表为空啊,先扫描";
inline constexpr std::string_view kEmptyTableStatus = "列表为空,先扫描..";
inline constexpr std::string_view kTickFirst = "请先勾选歌曲";
inline constexpr std::string_view kBatchTextDone = "生成完毕";
inline constexpr std::string_view kCoversExported = "完成^_^";
inline constexpr std::string_view kImportNeedsOneTick = "导入图片请单选列表!";
inline constexpr std::string_view kNotJpeg = "请检查导入图片是否JPG(JFIF)格式";

inline constexpr std::string_view kFilterText = "文件(*.txt)";
inline constexpr std::string_view kFilterAll = " (*.*)";
inline constexpr std::string_view kFilterJpeg = "JPG图片文件(*.jpg)";
// The marks and the game list's save filters are those of reopening a list, above.

// Followed by the path.
inline constexpr std::string_view kCannotCreateFile = "无法创建文件:";
// Followed by one path per line: song text files or covers that could not be written.
inline constexpr std::string_view kFilesNotCreated = "以下文件无法创建:";
// Closes a list cut short: "……(共35个)".
inline constexpr std::string_view kListTotalBefore = "……(共";
inline constexpr std::string_view kListTotalAfter = "个)";
// Followed by the IDs, separated by commas.
inline constexpr std::string_view kGameListUnreadable =
    "列表已生成,但以下歌曲的文件无法读取或不足300字节,它们在列表中的资料为空。编号:";

// Confirmations before files leave the MUSIC folder: "确定把3首歌曲(共5个文件)移到回收站吗?".
inline constexpr std::string_view kConfirmBefore = "确定把";
inline constexpr std::string_view kConfirmSongs = "首歌曲(共";
inline constexpr std::string_view kConfirmDeleteAfter = "个文件)移到回收站吗?";
inline constexpr std::string_view kConfirmMoveAfter = "个文件)转移到以下文件夹吗?\n";
// Followed by the folder.
inline constexpr std::string_view kMoveTargetMissing = "转移目标文件夹不存在:";
// Followed by one path per line.
inline constexpr std::string_view kNotDeleted = "以下文件没能删除,仍在原处:";
inline constexpr std::string_view kNotMoved = "以下文件没能转移,仍在原处:";

inline constexpr std::string_view kImportChartUnreadable = "无法读取这首歌的歌曲文件,封面没有导入";
inline constexpr std::string_view kImportBadCoverOffset = "这首歌的歌曲文件里封面位置不对,封面没有导入";
inline constexpr std::string_view kImportNotWritten = "无法写入歌曲文件,封面没有导入,歌曲文件没有改变";
// A picture dropped on the cover preview: "要把这张图片导入为这首歌的封面吗?\n编号7 星之海\n图片:<path>".
inline constexpr std::string_view kDropCoverQuestion = "要把这张图片导入为这首歌的封面吗?\n编号";
inline constexpr std::string_view kDropCoverPicture = "图片:";
}  // namespace vx::msg
