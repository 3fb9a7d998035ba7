#pragma once
// What every vxtool subcommand shares: argument parsing, the failure it throws, path and sort arguments.

#include <map>
#include <optional>
#include <ostream>
#include <string>
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

// Arguments after the subcommand: positionals in order and --options, each with one value unless it is
// one of the named flags.
struct Arguments {
  std::vector<std::string> positional;
  std::multimap<std::string, std::string> options;

  std::optional<std::string> Option(const std::string& name) const;
  std::vector<std::string> All(const std::string& name) const;
  bool Has(const std::string& name) const { return options.count(name) > 0; }
};

Arguments ParseArguments(const std::vector<std::string>& args, std::size_t first,
                         const std::vector<std::string>& flags = {});
void ExpectPositionals(const Arguments& a, std::size_t n, const char* command);
int ParseInt(const std::string& text, const char* what);

// A path given on the command line (UTF-8), as the GBK path the core keeps.
std::string GbkPathArgument(const std::string& native);

struct SortRequest {
  int column;
  bool ascending;
};
// --sort COLUMN[:asc|:desc]; desc when no direction is given, as a first header click does.
std::optional<SortRequest> ParseSort(const Arguments& a);

using Command = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vx::cli
