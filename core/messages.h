#pragma once
// Every text the core says to a person, in one place. Written in UTF-8 here; Gbk() turns one into the
// GBK bytes that cross the Interaction.

#include <string_view>

namespace vx::msg {

inline constexpr std::string_view kAppTitle = "VX歌曲整理器";
// The archive browser's export messages have always carried this caption.
inline constexpr std::string_view kArchiveTitle = "WX歌曲整理器";

inline constexpr std::string_view kCheckFolders = "请检查目录设置";
// 目录设置's 确定, followed by the folders that do not exist, one per line.
inline constexpr std::string_view kFoldersMissing = "这些文件夹不存在,仍然保存吗?";
inline constexpr std::string_view kFolderTooLong = "目录太长(超过255字节),无法保存:";
// Another organizer (a window or vxtool) held the MUSIC folder for longer than we wait.
inline constexpr std::string_view kLibraryBusy =
    "另一个程序正在修改这个歌曲文件夹,请等它完成后再试。什么也没有改变。";
// A multi-file operation writes down what it is about to do; a journal that cannot be written stops it.
inline constexpr std::string_view kJournalNotWritten = "无法写入操作日志,什么也没有改变:";
// What the next program to open the folder did about an interrupted operation, one song per line
// ("编号12 移动:已完成").
inline constexpr std::string_view kRecoveredBefore = "上次的操作没有完成:";
inline constexpr std::string_view kRecoveredInstall = "安装";
inline constexpr std::string_view kRecoveredRenumber = "改编号";
inline constexpr std::string_view kRecoveredDelete = "删除";
inline constexpr std::string_view kRecoveredMove = "移动";
inline constexpr std::string_view kRecoveredFinished = ":已完成";
inline constexpr std::string_view kRecoveredUndone = ":已撤销";
inline constexpr std::string_view kRecoveredLeft = ":无法完成也无法撤销,请检查这首歌的文件";
inline constexpr std::string_view kJournalDamaged = "歌曲文件夹里的操作日志已损坏,没有按它处理:";

}  // namespace vx::msg

// Saving a song's title and levels.
namespace vx::msg {
inline constexpr std::string_view kEmptyTableScanFirst = "列表为空,请先扫描";
// "确定修改编号64 白色相簿吗?": the save names the song it writes.
inline constexpr std::string_view kConfirmSaveBefore = "确定修改";
inline constexpr std::string_view kConfirmSaveAfter = "吗?";
// Before the editor's song is left with typed changes: "编号64 白色相簿的修改还没有保存,要保存吗?".
inline constexpr std::string_view kUnsavedAfter = "的修改还没有保存,要保存吗?";
inline constexpr std::string_view kSaveButton = "保存";
inline constexpr std::string_view kDiscardButton = "不保存";
inline constexpr std::string_view kChooseSongFirst = "请先选定一首歌";
inline constexpr std::string_view kSaved = "OK";
inline constexpr std::string_view kSongGone = "选定的歌曲已不在列表中,请重新选定";
inline constexpr std::string_view kTitleTooLong = "歌曲名字太长,最多31个字节(15个汉字)";
inline constexpr std::string_view kTitleUnmappable = "歌曲名字里有游戏无法显示的字符:";
inline constexpr std::string_view kChartTooShort = "歌曲文件太短,无法保存";
inline constexpr std::string_view kChartNotWritten = "无法写入歌曲文件,什么也没有改变";
inline constexpr std::string_view kTitleControlCharacter = "歌曲名字里不能有制表符、换行之类的控制字符";
// Followed by the field's name, one of the three below.
inline constexpr std::string_view kLevelOutOfRange = "等级只能是0到65535之间的数,这一项超出了范围:";
inline constexpr std::string_view kLevelEasy = "简单";
inline constexpr std::string_view kLevelNormal = "普通";
inline constexpr std::string_view kLevelHard = "困难";
// Each followed by the chart's path; said by the save and by the cover import, and nothing is changed.
inline constexpr std::string_view kChartReadOnly = "歌曲文件是只读的,没有修改:";
inline constexpr std::string_view kChartNoPermission = "没有权限修改歌曲文件,什么也没有改变:";
inline constexpr std::string_view kChartBusy = "另一个程序正在修改这个歌曲文件,请稍后再试:";
}  // namespace vx::msg

// The window: folder settings, choosers, the overwrite question, the scan summary.
namespace vx::msg {
inline constexpr std::string_view kChooseFolderPrompt = "请选择文件存放的路径:";
inline constexpr std::string_view kFolderUnmappable = "目录里有GBK无法表示的字符,无法保存:";
inline constexpr std::string_view kSettingsNotWritten = "无法写入设置文件,目录设置没有保存";
inline constexpr std::string_view kPathUnmappable = "路径里有GBK无法表示的字符,无法使用:";
// The buttons of a clash question.
inline constexpr std::string_view kNextFreeId = "使用空闲编号";
inline constexpr std::string_view kReplace = "替换";
inline constexpr std::string_view kSkip = "跳过";
inline constexpr std::string_view kStopRest = "全部取消";
inline constexpr std::string_view kSameForLaterSongs = "对以后的歌曲也这样做";
inline constexpr std::string_view kOk = "确定";
inline constexpr std::string_view kCancel = "取消";
inline constexpr std::string_view kScanSummaryFound = "扫描完毕:共找到";
inline constexpr std::string_view kScanSummarySongs = "首歌曲,用时";
// "扫描完毕:共找到195首歌曲,1个歌曲文件无法读取(另一个程序正在使用,或没有权限;检查歌曲库可以看到是哪些),用时…"
inline constexpr std::string_view kScanSummaryUnreadableBefore = "首歌曲,";
inline constexpr std::string_view kScanSummaryUnreadableAfter =
    "个歌曲文件无法读取(另一个程序正在使用,或没有权限;检查歌曲库可以看到是哪些),用时";
inline constexpr std::string_view kScanSummarySeconds = "秒";
// While the window scans: "正在扫描… 1234/5000".
inline constexpr std::string_view kScanProgress = "正在扫描… ";
inline constexpr std::string_view kScanCancelled = "扫描已取消,列表没有改变";
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
inline constexpr std::string_view kExportNamesUsedUp =
    "导出文件名已用完(编号0到199的文件都已存在),没有覆盖任何文件:";
inline constexpr std::string_view kExportWriteFailed = "无法写入图片文件:";
// Several entries exported: "已导出<frames>帧(共<entries>个条目),请到图片目录下查看", then the entries
// that wrote nothing, one per line, then what stopped each entry that failed.
inline constexpr std::string_view kExportSummaryBefore = "已导出";
inline constexpr std::string_view kExportSummaryMiddle = "帧(共";
inline constexpr std::string_view kExportSummaryAfter = "个条目),请到图片目录下查看";
inline constexpr std::string_view kExportGaveNothing = "以下条目没有导出任何帧:";
inline constexpr std::string_view kBadBackgroundPicture = "图片格式出错或文件正在被使用";
inline constexpr std::string_view kBackgroundWrittenBefore = "生成文件";
inline constexpr std::string_view kBackgroundWrittenAfter = "成功~!";
inline constexpr std::string_view kBackgroundNamesUsedUp =
    "背景文件名已用完(Playing1_300.vpi到Playing1_449.vpi都已存在),没有覆盖任何文件";
inline constexpr std::string_view kArchiveFilter = "VEXUM游戏文件(*.vp?)";
// Followed by the path, a line break and the reason below.
inline constexpr std::string_view kArchiveUnreadable = "无法读取这个图片文件:";
// Why an archive, an entry or a frame gave nothing; all but the first are followed by "(第<n>字节)".
inline constexpr std::string_view kArchiveCannotOpen = "文件打不开(不存在、不是普通文件或没有权限)";
inline constexpr std::string_view kArchiveDamaged = "文件已损坏";
inline constexpr std::string_view kArchiveTruncated = "文件太短,连文件头都不完整";
inline constexpr std::string_view kArchiveCountPastEnd = "目录项数比文件能装下的多";
inline constexpr std::string_view kArchiveNoSuchEntry = "没有这个目录项";
inline constexpr std::string_view kArchiveEntryPastEnd = "目录项指向文件末尾之后";
inline constexpr std::string_view kArchiveBadMark = "不是图片项(标记字节不对)";
inline constexpr std::string_view kArchiveNoSuchFrame = "没有这一帧";
inline constexpr std::string_view kArchiveFrameRecordPastEnd = "帧资料超出了文件末尾";
inline constexpr std::string_view kArchiveFrameTooLarge = "帧太大(超过16MB)";
inline constexpr std::string_view kArchiveEmptyFrame = "帧的宽或高为0";
inline constexpr std::string_view kArchivePixelsPastEnd = "帧数据超出了文件末尾";
inline constexpr std::string_view kArchiveFrameDataShort = "帧数据比宽×高少了不止一行";
inline constexpr std::string_view kArchiveReadFailed = "读取文件时出错";
// An export row that did not write every frame: "<entry name>" + this + one line per frame or reason.
inline constexpr std::string_view kExportRowIncomplete = "没有全部导出:";
// Before a frame number and after it: "第3帧:".
inline constexpr std::string_view kExportFrameBefore = "第";
inline constexpr std::string_view kExportFrameAfter = "帧:";
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
inline constexpr std::string_view kCheckMusicUnreachable =
    "音乐文件无法读取(指向的文件不存在或不是普通文件):";
inline constexpr std::string_view kCheckChartMissing = "只有音乐文件,缺少歌曲文件";
inline constexpr std::string_view kCheckLeadingZeros = ":编号前面有0,游戏不会读取这个文件";
inline constexpr std::string_view kCheckOtherCase = ":大小写和游戏要的不同,游戏不会读取这个文件,应为";
inline constexpr std::string_view kCheckIdTooLarge = ":编号超过4999,游戏不会读取这个文件";
inline constexpr std::string_view kCheckUnreadable = "无法读取歌曲文件";
inline constexpr std::string_view kCheckNotRegularBefore = "歌曲文件";
inline constexpr std::string_view kCheckNotRegularAfter =
    "不是普通文件(是管道、设备、文件夹或指向它们的链接),游戏和本程序都不会读取它";
inline constexpr std::string_view kCheckShortBefore = "歌曲文件";
inline constexpr std::string_view kCheckShortAfter = "不足300字节,文件头不完整";
inline constexpr std::string_view kCheckCoverOutsideBefore = "封面超出了歌曲文件";
inline constexpr std::string_view kCheckCoverOutsideAfter = "的末尾";
inline constexpr std::string_view kCheckCoverBadBefore = "歌曲文件";
inline constexpr std::string_view kCheckCoverBadAfter = "里的封面不是JPG图片";
inline constexpr std::string_view kCheckDuplicate = "歌曲名字和NOTER都相同,可能重复:";
inline constexpr std::string_view kCheckLeftoverTemporary = "程序中断时留下的临时文件,可以删除:";
inline constexpr std::string_view kCheckClean = "没有发现问题";
inline constexpr std::string_view kCheckJournal =
    "上次的操作没有完成,下次扫描或打开这个文件夹时会把它做完或撤销:";
inline constexpr std::string_view kCheckJournalDamaged = "操作日志已损坏,不会按它处理,请检查后删除:";
// "已删除3个临时文件。", then the names of those kept, one per line.
inline constexpr std::string_view kLeftoversRemovedBefore = "已删除";
inline constexpr std::string_view kLeftoversRemovedAfter = "个临时文件。";
inline constexpr std::string_view kLeftoversKept =
    "以下临时文件没有删除(一分钟内写过的可能还在使用,或者不是普通文件):";
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
// Followed by one line per ticked song that got no cover file: "编号<ID>:" and why.
inline constexpr std::string_view kCoversNotExported = "以下歌曲的封面没有导出:";
// Followed by the chart's file name.
inline constexpr std::string_view kCoverReadFailed = "读取封面时出错(歌曲文件可能刚被改动):";
inline constexpr std::string_view kImportNeedsOneTick = "导入图片请单选列表!";
inline constexpr std::string_view kNotJpeg = "请检查导入图片是否JPG(JFIF)格式";

inline constexpr std::string_view kFilterText = "文件(*.txt)";
inline constexpr std::string_view kFilterAll = " (*.*)";
inline constexpr std::string_view kFilterJpeg = "JPG图片文件(*.jpg)";
// The marks and the game list's save filters are those of reopening a list, above.

// Followed by the path.
inline constexpr std::string_view kCannotCreateFile = "无法创建文件:";
// Follow the path of an output file that was refused, wherever such a path is named.
inline constexpr std::string_view kOutputIsLink = "(这是符号链接,为了不写到别处,没有写入)";
inline constexpr std::string_view kOutputNotRegular = "(这不是普通文件,没有写入)";
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
// A song is its chart and its music: each of these lists names songs, one per line ("编号12 歌名"), and
// every file of a listed song is still in the MUSIC folder.
inline constexpr std::string_view kSongsNotDeleted = "以下歌曲没能删除,它们的文件都还在原处:";
inline constexpr std::string_view kSongsNotMoved = "以下歌曲没能转移,它们的文件都还在原处:";
// Followed by one path per line: what an operation left half done because undoing its first step failed too.
inline constexpr std::string_view kSongsSplit = "以下文件处理到一半时出错,而且无法复原,请手动检查:";
// The clash of a move: "<before>\n编号12 歌名\n<the files already there, one per line>\n<after>".
inline constexpr std::string_view kMoveClashBefore = "转移目标文件夹里已有这首歌的同名文件:";
inline constexpr std::string_view kMoveClashAfter = "替换:已有的文件先移到回收站;跳过:这首歌留在原处。";

inline constexpr std::string_view kImportChartUnreadable = "无法读取这首歌的歌曲文件,封面没有导入";
inline constexpr std::string_view kImportBadCoverOffset = "这首歌的歌曲文件里封面位置不对,封面没有导入";
inline constexpr std::string_view kImportNotWritten = "无法写入歌曲文件,封面没有导入,歌曲文件没有改变";
// A picture dropped on the cover preview: "要把这张图片导入为这首歌的封面吗?\n编号7 星之海\n图片:<path>".
inline constexpr std::string_view kDropCoverQuestion = "要把这张图片导入为这首歌的封面吗?\n编号";
inline constexpr std::string_view kDropCoverPicture = "图片:";
}  // namespace vx::msg

// Installing songs, renumbering a song, the history of replaced charts.
namespace vx::msg {
// The clash of an install: "<taken>\n<there>编号12 歌名\n<coming>编号12 歌名\n<source path>".
inline constexpr std::string_view kInstallClashTaken = "MUSIC文件夹里已有这个编号的歌曲:";
inline constexpr std::string_view kInstallClashNoId = "文件名里没有游戏能用的编号(vxma0.vxn到vxma4999.vxn):";
inline constexpr std::string_view kInstallClashThere = "已有:";
inline constexpr std::string_view kInstallClashComing = "导入:";
inline constexpr std::string_view kInstallLibraryFull = "MUSIC文件夹里0到4999的编号都已用完,无法再导入歌曲";
// Why a song was not installed.
inline constexpr std::string_view kInstallNotChart = "不是歌曲文件(.vxn),也不是文件夹";
inline constexpr std::string_view kInstallUnreadable = "歌曲文件无法读取或不足300字节";
inline constexpr std::string_view kInstallAlreadyInMusic = "已经在MUSIC文件夹里";
inline constexpr std::string_view kInstallSkipped = "选择了跳过";
inline constexpr std::string_view kInstallNoMusic = "缺少音乐文件(.vxm)";
inline constexpr std::string_view kInstallNameUnmappable = "文件名里有无法用GBK表示的字符";
inline constexpr std::string_view kInstallFolderWithoutSongs = "文件夹里没有歌曲文件(.vxn)";
inline constexpr std::string_view kInstallStopped = "导入已停止";
inline constexpr std::string_view kInstallCancelled = "导入已取消";
inline constexpr std::string_view kInstallNoFreeId = "没有空闲的编号";
inline constexpr std::string_view kInstallCopyFailed = "无法复制到MUSIC文件夹";
inline constexpr std::string_view kInstallNotWritten = "无法写入操作日志";
inline constexpr std::string_view kInstallReplaceFailed = "无法把原有的歌曲移到回收站";
inline constexpr std::string_view kInstallFailedAfterReplace = "无法放进MUSIC文件夹,原有的歌曲已在回收站里";
inline constexpr std::string_view kInstallHistoryFailed = "无法写入修改记录";
// Followed by the songs, one per line.
inline constexpr std::string_view kMusicUnreachableKept =
    "这些歌曲的音乐文件无法访问(链接指向的位置不在了?),歌曲原样保留:";
// Why a song's file cannot be touched now, naming the file:
// "另一个程序正在使用歌曲文件vxma34.vxn,请关闭它后再试". A file that is not the person's to read is named
// after kCheckUnreadable or kMusicUnreadable.
inline constexpr std::string_view kChartInUseBefore = "另一个程序正在使用歌曲文件";
inline constexpr std::string_view kMusicInUseBefore = "另一个程序正在使用音乐文件";
inline constexpr std::string_view kInUseAfter = ",请关闭它后再试";
inline constexpr std::string_view kMusicUnreadable = "无法读取音乐文件";
// Followed by one line per song: "编号34 歌名:" and its reason as above.
inline constexpr std::string_view kSongsUnreadableKept = "这些歌曲的文件现在无法读取,歌曲原样保留:";
inline constexpr std::string_view kInstallReplaceDeclined = "没有替换原有的歌曲";
// Why a song pack (.zip, .7z, .rar) was refused as a whole; nothing of it was written.
inline constexpr std::string_view kInstallPackUnsupported = "这个版本不能读取歌曲包(.zip、.7z、.rar)";
inline constexpr std::string_view kInstallPackUnreadable = "歌曲包已损坏或不完整,无法读取";
inline constexpr std::string_view kInstallPackEncrypted = "加密的压缩包暂不支持";
inline constexpr std::string_view kInstallPackTooLarge =
    "歌曲包里的文件大得不合理(歌曲文件超过64MB,或音乐文件超过1GB)";
inline constexpr std::string_view kInstallPackNoSpace = "MUSIC文件夹所在的磁盘空间不够放下这个歌曲包里的歌曲";
inline constexpr std::string_view kInstallPackNoSong = "歌曲包里没有歌曲(vxma编号.vxn和同名的.vxm)";
// "导入了3首歌曲,跳过了1首:", then one line per song: "<source> → 编号12" or "<source>:跳过,<reason>".
inline constexpr std::string_view kInstallReportBefore = "导入了";
inline constexpr std::string_view kInstallReportMiddle = "首歌曲,跳过了";
inline constexpr std::string_view kInstallReportAfter = "首:";
inline constexpr std::string_view kInstallReportTo = " → 编号";
inline constexpr std::string_view kInstallReportSkipped = ":跳过,";
// The first line of the report of an install stopped through its progress.
inline constexpr std::string_view kInstallReportCancelled = "导入已取消,已导入的歌曲都是完整的。";
// The progress of a long install: "正在导入歌曲… 12/300".
inline constexpr std::string_view kInstallProgress = "正在导入歌曲… ";

inline constexpr std::string_view kRenumberOutOfRange = "编号只能是0到4999之间的数";
inline constexpr std::string_view kRenumberSame = "新编号和原来的编号一样";
// Followed by "编号15 歌名" of the song that holds it.
inline constexpr std::string_view kRenumberTaken = "这个编号已有歌曲:";
// Followed by the path.
inline constexpr std::string_view kRenumberNoChart = "找不到这首歌的歌曲文件:";
inline constexpr std::string_view kRenumberFailed = "无法更改编号,这首歌的文件都还在原处";
inline constexpr std::string_view kRenumberPrompt = "新的编号(0到4999):";
inline constexpr std::string_view kRenumberTitle = "更改编号";

// Followed by the history folder.
inline constexpr std::string_view kHistoryNotWritten = "无法写入修改记录,什么也没有改变:";
// Asked before a change, followed by the chart's path.
inline constexpr std::string_view kHistoryChartTooLarge =
    "这首歌的谱面太大,修改记录放不下它:这次修改以后无法撤销。仍然修改吗?";
inline constexpr std::string_view kHistoryEmpty = "这个MUSIC文件夹还没有修改记录";
inline constexpr std::string_view kHistoryLabelBefore = "(";
inline constexpr std::string_view kHistoryLabelAfter = ")";
// Followed by the entry's label.
inline constexpr std::string_view kRestoreQuestion = "恢复这条修改记录吗?\n";
// Followed by "编号12 歌名".
inline constexpr std::string_view kRestoreSongGone = "这首歌已不在MUSIC文件夹里,无法恢复:";
// Followed by the entry's name.
inline constexpr std::string_view kRestoreEntryUnreadable = "修改记录里的歌曲文件无法读取:";
// A restore writes a chart only onto the song it was kept from; followed by both songs, one per line.
inline constexpr std::string_view kRestoreOtherSong =
    "这个编号现在是另一首歌,记录里的歌曲文件不能恢复到它上面:";
inline constexpr std::string_view kRestoreKeptLabel = "记录:";
inline constexpr std::string_view kRestoreNowLabel = "现在:";
inline constexpr std::string_view kRestoreEntryDamaged = "记录里保存的歌曲文件不完整,不能恢复:";
// Ctrl+Z and Ctrl+Y step through the changes one at a time.
inline constexpr std::string_view kNothingToUndo = "没有可以撤销的修改了";
inline constexpr std::string_view kNothingToRedo = "没有可以重做的修改";
// Followed by the entry's label.
inline constexpr std::string_view kRedoQuestion = "重做这条修改吗?\n";
// Followed by the entries' labels, one per line.
inline constexpr std::string_view kHistoryPassedOver = "这些修改已无法撤销,以后不再提供:";
}  // namespace vx::msg
