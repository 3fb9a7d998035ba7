#include "cli/cli_support.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "cli/terminal_interaction.h"
#include "core/io/file_io.h"
#include "core/library/song_table.h"
#include "core/operations/interrupted_work.h"
#include "core/text/native_path.h"

namespace vx::cli {

std::optional<std::string> Arguments::Option(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> Arguments::All(const std::string& name) const {
  std::vector<std::string> values;
  for (auto [it, end] = options.equal_range(name); it != end; ++it) values.push_back(it->second);
  return values;
}

Arguments ParseArguments(const std::vector<std::string>& args, std::size_t first,
                         const OptionSpec& accepted) {
  const auto listed = [](const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  Arguments parsed;
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) == 0 && a.size() > 2) {
      const std::string name = a.substr(2);
      if (listed(accepted.flags, name)) {
        if (parsed.Has(name)) throw Failure{kExitUsage, "option " + a + " given twice"};
        parsed.options.emplace(name, "");
        continue;
      }
      const bool repeatable = listed(accepted.repeated, name);
      if (!repeatable && !listed(accepted.single, name))
        throw Failure{kExitUsage, "unknown option " + a + " (see vxtool help)"};
      // The first or the last of two values would each be a guess at what was meant.
      if (!repeatable && parsed.Has(name)) throw Failure{kExitUsage, "option " + a + " given twice"};
      if (i + 1 >= args.size()) throw Failure{kExitUsage, "option " + a + " needs a value"};
      parsed.options.emplace(name, args[++i]);
    } else {
      parsed.positional.push_back(a);
    }
  }
  return parsed;
}

void ExpectPositionals(const Arguments& a, std::size_t n, const char* command) {
  if (a.positional.size() != n)
    throw Failure{kExitUsage, std::string(command) + " takes " + std::to_string(n) + " argument" +
                                  (n == 1 ? "" : "s") + " (see vxtool help)"};
}

int ParseInt(const std::string& text, const char* what) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size())
    throw Failure{kExitUsage, std::string(what) + ": not a number: " + text};
  return value;
}

std::string GbkPathArgument(const std::string& native) {
  std::string gbk = GbkPath(PathFromUtf8(native));
  if (gbk.empty() && !native.empty())
    throw Failure{kExitFailed, "the path cannot be written in GBK: " + native};
  return gbk;
}

std::string OpenMusicFolder(const std::string& native, std::ostream& err) {
  const std::string music = GbkPathArgument(native);
  if (!DirectoryExists(music)) throw Failure{kExitFailed, "not a folder: " + native};
  TerminalInteraction ui(err);
  RecoverInterruptedWork(music, ui);
  return music;
}

std::string EscapeForLine(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          static constexpr char kHex[] = "0123456789ABCDEF";
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
        } else {
          out += c;  // UTF-8 sequences are made of bytes from 0x80 up and pass whole
        }
    }
  }
  return out;
}

std::optional<SortRequest> ParseSort(const Arguments& a) {
  auto text = a.Option("sort");
  if (!text) return std::nullopt;
  static const std::map<std::string, int> kNames = {
      {"id", kColId},     {"title", kColTitle}, {"easy", kColEasy}, {"normal", kColNormal},
      {"hard", kColHard}, {"noter", kColNoter}, {"bpm", kColBpm},   {"time", kColTime}};
  std::string name = *text, direction = "desc";
  if (auto colon = name.find(':'); colon != std::string::npos) {
    direction = name.substr(colon + 1);
    name.resize(colon);
  }
  auto it = kNames.find(name);
  if (it == kNames.end() || (direction != "asc" && direction != "desc"))
    throw Failure{kExitUsage,
                  "--sort takes id, title, easy, normal, hard, noter, bpm or time, with :asc or :desc"};
  return SortRequest{it->second, direction == "asc"};
}

}  // namespace vx::cli
