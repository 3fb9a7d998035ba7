#pragma once
// What every vxtool subcommand shares: argument parsing, the failure it throws, path and sort arguments.

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vx::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Thrown by a subcommand; Run prints "vxtool: <message>" and returns the code.
struct Failure {
  int code;
  std::string message;
};

// The --options a subcommand takes (names without the dashes): those with one value, those that may be
// given several times, and flags without a value.
struct OptionSpec {
  std::vector<std::string> single;
  std::vector<std::string> repeated;
  std::vector<std::string> flags;
};

// Arguments after the subcommand: positionals in order and --options.
struct Arguments {
  std::vector<std::string> positional;
  std::multimap<std::string, std::string> options;

  std::optional<std::string> Option(const std::string& name) const;
  std::vector<std::string> All(const std::string& name) const;
  bool Has(const std::string& name) const { return options.count(name) > 0; }
};

// An option the subcommand does not take, or one of its single options given twice, is a usage error:
// a command line that does not say one thing does nothing.
Arguments ParseArguments(const std::vector<std::string>& args, std::size_t first,
                         const OptionSpec& accepted = {});
void ExpectPositionals(const Arguments& a, std::size_t n, const char* command);
int ParseInt(const std::string& text, const char* what);

// A path given on the command line (UTF-8), as the GBK path the core keeps.
std::string GbkPathArgument(const std::string& native);
// A MUSIC folder given on the command line, as a GBK path: it must be a folder, and whatever a killed run
// left half done in it is mended first (RecoverInterruptedWork, which says so on `err`).
std::string OpenMusicFolder(const std::string& native, std::ostream& err);

// A text (UTF-8) made fit for one line of output: a backslash becomes \\, TAB, LF and CR become \t, \n
// and \r, and every other control character (below 0x20, and 0x7F) becomes \xHH. Lines split on TAB
// and LF therefore always split where the command meant them to.
std::string EscapeForLine(std::string_view utf8);

struct SortRequest {
  int column;
  bool ascending;
};
// --sort COLUMN[:asc|:desc]; desc when no direction is given, as a first header click does.
std::optional<SortRequest> ParseSort(const Arguments& a);

using Command = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vx::cli
