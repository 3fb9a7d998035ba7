#pragma once
// What the frame shows around the form: the menu, the toolbar order, the right-click menu's commands,
// the status-bar prompts and the texts of the toolbar's search and of the status bar. The frame builds
// them from these tables, so what a person sees is written down once.

#include <array>
#include <string_view>

#include "ui/app/commands.h"

namespace vx::ui {

struct MenuItem {
  int id;  // kCmdSeparator for a separator line
  std::string_view text;
};

struct Menu {
  std::string_view title;
  std::array<MenuItem, 8> items;  // the first itemCount are used
  int itemCount;
};

inline constexpr std::array<Menu, 8> kMenus = {{
    {"文件(&F)",
     {{{kCmdFileOpen, "打开(&O)..."},
       {kCmdFolderSettings, "目录设置"},
       {kCmdSeparator, ""},
       {kCmdExit, "退出(&X)"}}},
     4},
    {"查看(&V)", {{{kCmdViewToolbar, "工具栏(&T)"}, {kCmdViewStatusBar, "状态栏(&S)"}}}, 2},
    {"文本操作", {{{kCmdTextList, "生成文本列表"}, {kCmdBatchText, "批量文本"}}}, 2},
    {"整理操作",
     {{{kCmdGameList, "生成游戏歌曲列表"},
       {kCmdDeleteSongs, "删除歌曲"},
       {kCmdMoveSongs, "转移歌曲"},
       {kCmdSeparator, ""},
       {kCmdInstallSongs, "导入歌曲..."},
       {kCmdInstallFolder, "导入歌曲文件夹..."},
       {kCmdInstallPack, "导入歌曲包..."},
       {kCmdRenumber, "更改编号..."}}},
     8},
    {"歌曲图片", {{{kCmdExportCovers, "导出图片"}, {kCmdImportCover, "导入图片"}}}, 2},
    {"状态设定",
     {{{kCmdStatusWeekly, "一周更新"},
       {kCmdStatusNewest, "最新更新"},
       {kCmdStatusPopular, "最受欢迎"},
       {kCmdStatusClear, "撤销状态"}}},
     4},
    {"其他功能",
     {{{kCmdGameImages, "游戏里的图片"},
       {kCmdCheckLibrary, "检查歌曲库"},
       {kCmdSeparator, ""},
       {kCmdHistory, "修改记录..."},
       {kCmdUndoChange, "恢复上一次修改"},
       {kCmdKeepHistory, "记录修改"}}},
     6},
    {"帮助(&H)", {{{kCmdAbout, "帮助/关于..."}}}, 1},
}};

// Left to right; the strip picture holds one 40 x 20 picture per command, in this order.
inline constexpr std::array<int, 15> kToolbar = {
    kCmdDeleteSongs,  kCmdMoveSongs,     kCmdSeparator,   kCmdGameList,  kCmdTextList,
    kCmdBatchText,    kCmdExportCovers,  kCmdImportCover, kCmdSeparator, kCmdStatusWeekly,
    kCmdStatusNewest, kCmdStatusPopular, kCmdStatusClear, kCmdSeparator, kCmdGameImages,
};
inline constexpr int kToolbarPictureWidth = 40;
inline constexpr int kToolbarPictureHeight = 20;
// The square pictures of the same commands in menu.png, in the same order.
inline constexpr int kMenuPictureSide = 16;

struct Prompt {
  int id;
  // The status-bar text, then after "\n" the tool tip, which only the framework's own commands have.
  std::string_view text;
};

inline constexpr std::array<Prompt, 25> kPrompts = {{
    {kCmdTextList, "生成一个文本格式的歌曲资料列表"},
    {kCmdBatchText, "在MUSIC文件夹下生成与歌曲同名的单文本"},
    {kCmdGameList, "对打勾歌曲生成游戏列表(有SML和DAT两种)"},
    {kCmdDeleteSongs, "删除打勾歌曲"},
    {kCmdMoveSongs, "把打勾歌曲转移至指定目录(请先设置)"},
    {kCmdExportCovers, "导出打勾歌曲的图片到指定目录(请先设置目录)"},
    {kCmdImportCover, "对指定歌曲导入封面图片"},
    {kCmdStatusNewest, "把状态设成最新更新"},
    {kCmdStatusPopular, "把歌曲状态设置为最受欢迎"},
    {kCmdStatusClear, "将勾选歌曲状态置空"},
    {kCmdStatusWeekly, "把打勾歌曲设置为一周前更新"},
    {kCmdGameImages, "游戏中出现的一切图片(预览 导出 +背景LOGO制作)"},
    {kCmdCheckLibrary, "检查MUSIC文件夹里游戏读不到或有问题的歌曲"},
    {kCmdInstallSongs, "把歌曲文件(.vxn和同名的.vxm)复制到MUSIC文件夹"},
    {kCmdInstallFolder, "把一个文件夹里的所有歌曲复制到MUSIC文件夹"},
    {kCmdInstallPack, "把歌曲包(.zip、.7z、.rar)里的所有歌曲导入MUSIC文件夹"},
    {kCmdRenumber, "给选定的歌曲换一个空闲的编号"},
    {kCmdHistory, "查看修改过的歌曲文件,恢复修改前的样子"},
    {kCmdUndoChange, "恢复这个MUSIC文件夹最近的一次修改"},
    {kCmdKeepHistory, "修改歌曲文件之前先保存一份(关掉后本次运行不再保存)"},
    {kCmdFileOpen, "打开一个现有文档\n打开"},
    {kCmdAbout, "显示程序信息，版本号和版权\n关于"},
    {kCmdExit, "退出应用程序；提示保存文档\n退出"},
    {kCmdViewToolbar, "显示或隐藏工具栏\n显隐工具栏"},
    {kCmdViewStatusBar, "显示或隐藏状态栏\n显隐状态栏"},
}};

// The song table's right-click menu: the commands on the ticked songs, grouped as in the menus, then one
// of its own.
inline constexpr std::array<int, 14> kContextCommands = {
    kCmdTextList,     kCmdBatchText,    kCmdSeparator,     kCmdGameList,    kCmdDeleteSongs,
    kCmdMoveSongs,    kCmdSeparator,    kCmdExportCovers,  kCmdImportCover, kCmdSeparator,
    kCmdStatusWeekly, kCmdStatusNewest, kCmdStatusPopular, kCmdStatusClear,
};

// The search field at the right end of the toolbar.
inline constexpr std::string_view kSearchPlaceholder = "搜索: 歌名 NOTER hard:10-20";
inline constexpr int kSearchFieldWidth = 230;
// At the window's smallest the toolbar has room for less beside the toggle "只显示匹配".
inline constexpr int kSearchFieldMinWidth = 170;
// Beside the search field: show only the songs that match it.
inline constexpr std::string_view kMatchesOnly = "只显示匹配";
// Keys without a menu item of their own are named where their control is.
inline constexpr std::string_view kSearchTip =
    "Ctrl+F: 到搜索框  Esc: 清空  Enter: 勾选  Shift+Enter: 取消勾选";

inline constexpr std::string_view kIdleText = "就绪";
inline constexpr std::array<std::string_view, 3> kIndicators = {"大写", "数字", "滚动"};

}  // namespace vx::ui
