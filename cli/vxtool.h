#pragma once
// vxtool: the command-line companion. Every subcommand calls the same core function the window calls.

#include <ostream>
#include <string>
#include <vector>

namespace vx::cli {

// Runs one command line (without the program name). Returns the exit code: 0 done, 1 the work failed,
// 2 the command line was wrong. Output goes to `out`, messages to `err`.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vx::cli
