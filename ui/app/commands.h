#pragma once
// The command identifiers of the menu, the toolbar and the right-click menu. Tests name a command by
// its identifier to find its action.

namespace vx::ui {

enum CommandId : int {
  kCmdFolderSettings = 32771,
  kCmdTextList = 32772,
  kCmdBatchText = 32773,
  kCmdGameList = 32774,
  kCmdDeleteSongs = 32775,
  kCmdMoveSongs = 32776,
  kCmdExportCovers = 32777,
  kCmdImportCover = 32778,
  kCmdStatusNewest = 32781,
  kCmdStatusPopular = 32782,
  kCmdStatusClear = 32783,
  kCmdStatusWeekly = 32784,
  kCmdGameImages = 32785,
  kCmdCheckLibrary = 32786,
  kCmdInstallSongs = 32787,
  kCmdInstallFolder = 32788,
  kCmdRenumber = 32789,
  kCmdHistory = 32790,
  kCmdUndoChange = 32791,
  kCmdKeepHistory = 32792,
  kCmdInstallPack = 32793,
  kCmdFileOpen = 57601,
  kCmdAbout = 57664,
  kCmdExit = 57665,
  kCmdViewToolbar = 59392,
  kCmdViewStatusBar = 59393,
  kCmdSeparator = 0,
};

}  // namespace vx::ui
