#pragma once
// The subcommands, one function each, grouped in files by what they work on.

#include "cli/cli_support.h"

namespace vx::cli {

// commands_library.cpp
int CmdScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// commands_archive.cpp
int CmdArchive(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vx::cli

// commands_reports.cpp
namespace vx::cli {
int CmdGameListRead(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// commands_operations.cpp
int CmdTextList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdBatchText(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdGameList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdExportCovers(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdImportCover(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdEdit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdDelete(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdMove(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdInstall(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdRenumber(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdHistory(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int CmdRestore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vx::cli
