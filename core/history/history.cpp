#include "core/history/history.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"
#include "core/io/dir_list.h"
#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"
#include "core/io/user_environment.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

constexpr std::string_view kInfoSuffix = ".txt";

struct OperationName {
  HistoryOperation operation;
  std::string_view token;
  std::string_view label;
};
constexpr OperationName kOperations[] = {
    {HistoryOperation::kEdit, "edit", "修改歌曲信息"},
    {HistoryOperation::kImportCover, "import-cover", "导入图片"},
    {HistoryOperation::kInstallReplace, "install", "导入歌曲时被替换"},
    {HistoryOperation::kRenumber, "renumber", "更改编号"},
    {HistoryOperation::kRestore, "restore", "恢复修改记录"},
};

// Titles come from charts and may hold any byte; a line break in one must not end its line here.
std::string Escape(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || c == '\\') {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned value = 0;
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
        std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16).ec == std::errc()) {
      out += static_cast<char>(value);
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

template <typename T = int>
std::optional<T> Number(std::string_view text, int base = 10) {
  T value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// A stale temporary is one no running write can still own.
constexpr auto kLeftoverAge = std::chrono::minutes(1);

}  // namespace

std::optional<SongIdentity> IdentifySong(std::string_view gbkMusicPath) {
  // FNV-1a over the whole file, read in pieces: music files run to tens of megabytes.
  constexpr std::uint64_t kPiece = 1 << 20;
  const auto size = FileSize(gbkMusicPath);
  if (!size) return std::nullopt;
  SongIdentity identity{*size, 1469598103934665603ull};
  for (std::uint64_t offset = 0; offset < *size; offset += kPiece) {
    const auto piece = ReadFileRange(gbkMusicPath, offset, std::min(kPiece, *size - offset));
    if (!piece) return std::nullopt;
    for (const std::uint8_t b : *piece) identity.hash = (identity.hash ^ b) * 1099511628211ull;
  }
  return identity;
}

std::string DescribeHistoryEntry(const HistoryEntry& e) {
  std::string text = "music=" + Escape(e.musicDir) + "\nid=" + std::to_string(e.id) +
                     "\noperation=" + std::string(HistoryOperationToken(e.operation)) + "\ntime=" + e.time +
                     "\ntitle=" + Escape(e.title) + "\n";
  if (e.renumberedTo) text += "to=" + std::to_string(*e.renumberedTo) + "\n";
  if (e.sequence) text += "sequence=" + std::to_string(e.sequence) + "\n";
  if (e.song)
    text += "music-bytes=" + std::to_string(e.song->bytes) + "\nmusic-hash=" + Hex(e.song->hash) + "\n";
  if (!e.undoes.empty()) text += "undoes=" + Escape(e.undoes) + "\n";
  if (!e.redoes.empty()) text += "redoes=" + Escape(e.redoes) + "\n";
  if (e.passedOver) text += "passed-over=1\n";
  return text;
}

std::optional<HistoryEntry> ParseHistoryEntry(std::string name, std::string_view text) {
  HistoryEntry e;
  e.name = std::move(name);
  bool hasMusic = false, hasId = false, hasOperation = false;
  std::optional<std::uint64_t> musicBytes, musicHash;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    if (key == "music") {
      e.musicDir = Unescape(value);
      hasMusic = true;
    } else if (key == "id") {
      const auto id = Number(value);
      if (!id) return std::nullopt;
      e.id = *id;
      hasId = true;
    } else if (key == "operation") {
      for (const OperationName& o : kOperations)
        if (o.token == value) {
          e.operation = o.operation;
          hasOperation = true;
        }
    } else if (key == "time") {
      e.time = value;
    } else if (key == "title") {
      e.title = Unescape(value);
    } else if (key == "to") {
      e.renumberedTo = Number(value);
    } else if (key == "sequence") {
      e.sequence = Number<std::uint64_t>(value).value_or(0);
    } else if (key == "music-bytes") {
      if (const auto bytes = Number<std::uint64_t>(value)) musicBytes = bytes;
    } else if (key == "music-hash") {
      if (const auto hash = Number<std::uint64_t>(value, 16)) musicHash = hash;
    } else if (key == "undoes") {
      e.undoes = Unescape(value);
    } else if (key == "redoes") {
      e.redoes = Unescape(value);
    } else if (key == "passed-over") {
      e.passedOver = value == "1";
    }
  }
  if (musicBytes && musicHash) e.song = SongIdentity{*musicBytes, *musicHash};
  if (!hasMusic || !hasId || !hasOperation) return std::nullopt;
  return e;
}

namespace {

Bytes AsBytes(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

}  // namespace

std::string_view HistoryOperationToken(HistoryOperation operation) {
  for (const OperationName& o : kOperations)
    if (o.operation == operation) return o.token;
  return "edit";
}

std::string_view HistoryOperationLabel(HistoryOperation operation) {
  for (const OperationName& o : kOperations)
    if (o.operation == operation) return o.label;
  return "";
}

std::string DefaultHistoryFolder() {
  const std::string data = UserDataFolder();
  if (data.empty()) return {};
  return JoinPath(JoinPath(data, "vxorganizer"), "history");
}

std::string NormalMusicFolder(std::string_view gbkMusicDir) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::absolute(NativePath(gbkMusicDir), ec).lexically_normal();
  if (ec) return std::string(gbkMusicDir);
  if (!folder.has_filename() && folder.has_parent_path() && folder != folder.root_path())
    folder = folder.parent_path();
  const std::string gbk = GbkPath(folder);
  return gbk.empty() ? std::string(gbkMusicDir) : gbk;
}

History::History(std::string gbkFolder, HistoryLimits limits)
    : m_folder(std::move(gbkFolder)), m_limits(limits) {}

std::optional<std::string> History::Record(std::string_view gbkMusicDir, int id, HistoryOperation operation,
                                           std::span<const std::uint8_t> chart,
                                           std::optional<int> renumberedTo) {
  if (m_folder.empty() || !Admits(chart.size()) || !CreateFolders(m_folder)) return std::nullopt;
  RemoveLeftovers();
  HistoryEntry e;
  e.musicDir = NormalMusicFolder(gbkMusicDir);
  e.id = id;
  e.operation = operation;
  const std::time_t now = std::time(nullptr);
  e.time = LocalTimeText(now);
  e.title = ParseChartHeader(chart).title;
  e.renumberedTo = renumberedTo;
  e.song = IdentifySong(MusicPath(gbkMusicDir, id));
  e.undoes = std::exchange(m_nextUndoes, {});
  e.redoes = std::exchange(m_nextRedoes, {});
  const std::vector<HistoryEntry> existing = Entries();
  e.sequence = (existing.empty() ? 0 : existing.front().sequence) + 1;

  // Names sort by time; the counter keeps entries of the same second apart.
  std::string stamp = e.time;
  stamp.erase(std::remove_if(stamp.begin(), stamp.end(), [](char c) { return c == '-' || c == ':'; }),
              stamp.end());
  std::replace(stamp.begin(), stamp.end(), ' ', '-');
  // A counter above every entry of the same second, pruned ones too: names must keep their order.
  int first = 0;
  for (const std::string& native : ListFolderNames(m_folder).value_or(std::vector<std::string>{})) {
    int n = 0;
    if (native.size() > stamp.size() + 4 && native.compare(0, stamp.size(), stamp) == 0 &&
        std::from_chars(native.data() + stamp.size() + 1, native.data() + stamp.size() + 4, n).ec ==
            std::errc())
      first = std::max(first, n + 1);
  }
  for (int n = first; n < 1000; ++n) {
    char counter[16];
    std::snprintf(counter, sizeof counter, "-%03d", n);
    e.name = stamp + counter;
    const std::string chartPath = JoinPath(m_folder, e.name + std::string(kChartExtension));
    const std::string infoPath = JoinPath(m_folder, e.name + std::string(kInfoSuffix));
    if (FileExists(infoPath)) continue;
    const OutputResult kept = WriteOutputFile(chartPath, chart, OutputMode::kKeepExisting);
    if (kept == OutputResult::kExists) continue;
    if (kept != OutputResult::kWritten) return std::nullopt;
    if (WriteOutputFile(infoPath, AsBytes(DescribeHistoryEntry(e)), OutputMode::kKeepExisting) !=
        OutputResult::kWritten) {
      RemoveFile(chartPath);
      return std::nullopt;
    }
    Prune(e.name);
    return e.name;
  }
  return std::nullopt;
}

bool History::Forget(std::string_view name) {
  // The description goes first: without it the entry is no longer listed, whatever happens next.
  if (!RemoveFile(JoinPath(m_folder, std::string(name) + std::string(kInfoSuffix)))) return false;
  RemoveFile(JoinPath(m_folder, std::string(name) + std::string(kChartExtension)));
  return true;
}

void History::LinkNextRecord(std::string undoes, std::string redoes) {
  m_nextUndoes = std::move(undoes);
  m_nextRedoes = std::move(redoes);
}

void History::ClearLink() {
  LinkNextRecord({}, {});
}

bool History::MarkPassedOver(const HistoryEntry& entry) {
  HistoryEntry marked = entry;
  marked.passedOver = true;
  // Replaced whole through a temporary, so the entry is listed with its old description or its new one.
  return WriteOutputFile(JoinPath(m_folder, entry.name + std::string(kInfoSuffix)),
                         AsBytes(DescribeHistoryEntry(marked)),
                         OutputMode::kReplace) == OutputResult::kWritten;
}

UndoStacks WorkOutUndoStacks(const std::vector<HistoryEntry>& newestFirst) {
  UndoStacks stacks;  // each oldest first while it is built
  const auto takeOff = [](std::vector<HistoryEntry>& stack, const std::string& name) {
    const auto found =
        std::find_if(stack.rbegin(), stack.rend(), [&name](const HistoryEntry& e) { return e.name == name; });
    if (found != stack.rend()) stack.erase(std::next(found).base());
  };
  for (auto e = newestFirst.rbegin(); e != newestFirst.rend(); ++e) {
    std::vector<HistoryEntry>* onto = &stacks.undo;
    if (!e->undoes.empty()) {
      takeOff(stacks.undo, e->undoes);
      onto = &stacks.redo;
    } else if (!e->redoes.empty()) {
      takeOff(stacks.redo, e->redoes);
    } else {
      stacks.redo.clear();
    }
    if (!e->passedOver) onto->push_back(*e);
  }
  std::reverse(stacks.undo.begin(), stacks.undo.end());
  std::reverse(stacks.redo.begin(), stacks.redo.end());
  return stacks;
}

void History::RemoveLeftovers() const {
  namespace fs = std::filesystem;
  for (const std::string& native : ListFolderNames(m_folder).value_or(std::vector<std::string>{})) {
    if (native.find(kTemporaryMarker) == std::string::npos) continue;
    const std::string path = JoinPath(m_folder, GbkPath(PathFromUtf8(native)));
    std::error_code ec;
    const auto written = fs::last_write_time(NativePath(path), ec);
    if (!ec && fs::is_regular_file(fs::symlink_status(NativePath(path), ec)) &&
        fs::file_time_type::clock::now() - written >= kLeftoverAge)
      RemoveFile(path);
  }
}

std::vector<HistoryEntry> History::Entries(std::optional<std::string_view> gbkMusicDir) const {
  std::vector<HistoryEntry> entries;
  const auto names = ListFolderNames(m_folder);
  if (!names) return entries;
  const std::optional<std::string> wanted =
      gbkMusicDir ? std::optional<std::string>(NormalMusicFolder(*gbkMusicDir)) : std::nullopt;
  for (const std::string& native : *names) {
    if (!native.ends_with(kInfoSuffix)) continue;
    const std::string name = native.substr(0, native.size() - kInfoSuffix.size());
    const auto info = ReadFilePrefix(JoinPath(m_folder, native), 64 * 1024);
    const auto size = FileSize(JoinPath(m_folder, name + std::string(kChartExtension)));
    if (!info || !size) continue;
    auto entry =
        ParseHistoryEntry(name, std::string_view(reinterpret_cast<const char*>(info->data()), info->size()));
    if (!entry || (wanted && entry->musicDir != *wanted)) continue;
    entry->bytes = *size;
    entries.push_back(std::move(*entry));
  }
  std::sort(entries.begin(), entries.end(), [](const HistoryEntry& a, const HistoryEntry& b) {
    return a.sequence != b.sequence ? a.sequence > b.sequence : a.name > b.name;
  });
  return entries;
}

std::optional<HistoryEntry> History::Find(std::string_view name) const {
  for (HistoryEntry& e : Entries())
    if (e.name == name) return std::move(e);
  return std::nullopt;
}

std::optional<Bytes> History::Chart(const HistoryEntry& entry) const {
  return ReadWholeFile(JoinPath(m_folder, entry.name + std::string(kChartExtension)));
}

void History::Prune(std::string_view keep) {
  std::vector<HistoryEntry> entries = Entries();  // newest first
  std::uint64_t kept = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    kept += entries[i].bytes;
    // The newest entry stays even when it alone is over the size limit: it was just asked for.
    if (i == 0 || entries[i].name == keep || (i < m_limits.maxEntries && kept <= m_limits.maxBytes)) continue;
    Forget(entries[i].name);
  }
}

}  // namespace vx
