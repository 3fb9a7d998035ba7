#include "core/io/library_journal.h"

#include <charconv>

#include "core/formats/song_files.h"
#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"
#include "core/platform/primitives.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

constexpr std::string_view kHeader = "vxorganizer journal 1";
constexpr std::string_view kEnd = "end";
// A journal names at most every song once per kind; anything longer was never written by us.
constexpr std::size_t kMaxJournalBytes = 4u << 20;

bool PlainByte(unsigned char c) {
  return c > 0x20 && c < 0x7F && c != '%';
}

std::string Escape(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (PlainByte(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c != '%') {
      if (!PlainByte(c)) return std::nullopt;
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
    if (ec != std::errc() || end != text.data() + i + 3) return std::nullopt;
    // Only bytes that Escape writes as %XX, in its upper-case spelling: one text, one journal.
    if (PlainByte(static_cast<unsigned char>(value)) ||
        Escape(std::string(1, static_cast<char>(value))) != std::string(text.substr(i, 3)))
      return std::nullopt;
    out += static_cast<char>(value);
    i += 2;
  }
  return out;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  for (;;) {
    const std::size_t space = line.find(' ', start);
    words.push_back(line.substr(start, space == std::string_view::npos ? line.npos : space - start));
    if (space == std::string_view::npos) return words;
    start = space + 1;
  }
}

// A song ID as this file writes it: decimal, no sign, no leading zero.
std::optional<int> Id(std::string_view word) {
  if (word.empty() || word.size() > 4 || (word.size() > 1 && word[0] == '0') || word[0] < '0' ||
      word[0] > '9')
    return std::nullopt;
  int value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || value >= kMaxSongs) return std::nullopt;
  return value;
}

// A temporary copy of the song's own file: "<file>.vxtmp-<letters>", nothing that leaves the folder.
bool TemporaryOf(std::string_view name, const std::string& file) {
  const std::string prefix = file + std::string(kTemporaryMarker);
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return false;
  for (const char c : name.substr(prefix.size()))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) return false;
  return true;
}

std::optional<JournalEntry> ParseLine(std::string_view line) {
  const std::vector<std::string_view> w = Words(line);
  JournalEntry entry;
  const auto id = w.size() >= 2 ? Id(w[1]) : std::nullopt;
  if (!id) return std::nullopt;
  entry.id = *id;
  if (w[0] == "add" && w.size() == 3 && TemporaryOf(w[2], ChartFileName(*id))) {
    entry.kind = JournalEntry::Kind::kAdd;
    entry.chartTemporary = w[2];
    return entry;
  }
  if (w[0] == "install" && w.size() == 5 && (w[2] == "0" || w[2] == "1") &&
      TemporaryOf(w[3], MusicFileName(*id)) && TemporaryOf(w[4], ChartFileName(*id))) {
    entry.kind = JournalEntry::Kind::kInstall;
    entry.replace = w[2] == "1";
    entry.musicTemporary = w[3];
    entry.chartTemporary = w[4];
    return entry;
  }
  if (w[0] == "renumber" && w.size() == 3) {
    const auto to = Id(w[2]);
    if (!to || *to == *id) return std::nullopt;
    entry.kind = JournalEntry::Kind::kRenumber;
    entry.to = *to;
    return entry;
  }
  if (w[0] == "delete" && w.size() == 2) {
    entry.kind = JournalEntry::Kind::kDelete;
    return entry;
  }
  if (w[0] == "move" && w.size() == 3) {
    auto target = Unescape(w[2]);
    if (!target || target->empty()) return std::nullopt;
    entry.kind = JournalEntry::Kind::kMove;
    entry.target = std::move(*target);
    return entry;
  }
  return std::nullopt;
}

}  // namespace

std::string JournalPath(std::string_view gbkMusicDir) {
  return JoinPath(gbkMusicDir, std::string(kJournalFileName));
}

std::string FormatJournal(const std::vector<JournalEntry>& entries) {
  std::string text = std::string(kHeader) + "\n";
  for (const JournalEntry& e : entries) {
    const std::string id = std::to_string(e.id);
    switch (e.kind) {
      case JournalEntry::Kind::kAdd:
        text += "add " + id + " " + e.chartTemporary;
        break;
      case JournalEntry::Kind::kInstall:
        text += "install " + id + (e.replace ? " 1 " : " 0 ") + e.musicTemporary + " " + e.chartTemporary;
        break;
      case JournalEntry::Kind::kRenumber:
        text += "renumber " + id + " " + std::to_string(e.to);
        break;
      case JournalEntry::Kind::kDelete:
        text += "delete " + id;
        break;
      case JournalEntry::Kind::kMove:
        text += "move " + id + " " + Escape(e.target);
        break;
    }
    text += "\n";
  }
  return text + std::string(kEnd) + "\n";
}

std::optional<std::vector<JournalEntry>> ParseJournal(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.empty() || text.back() != '\n') return std::nullopt;
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (lines.size() < 2 || lines.front() != kHeader || lines.back() != kEnd) return std::nullopt;
  std::vector<JournalEntry> entries;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    auto entry = ParseLine(lines[i]);
    if (!entry) return std::nullopt;
    entries.push_back(std::move(*entry));
  }
  return entries;
}

ReadJournalResult ReadJournal(std::string_view gbkMusicDir) {
  ReadJournalResult result;
  const std::string path = JournalPath(gbkMusicDir);
  if (!platform::NameTaken(NativePath(path))) return result;
  result.state = JournalState::kDamaged;
  const auto bytes = ReadFilePrefix(path, kMaxJournalBytes + 1);
  if (!bytes || bytes->size() > kMaxJournalBytes) return result;
  if (auto entries = ParseJournal(*bytes)) {
    result.state = JournalState::kPresent;
    result.entries = std::move(*entries);
  }
  return result;
}

bool WriteJournal(std::string_view gbkMusicDir, const std::vector<JournalEntry>& entries) {
  const std::string text = FormatJournal(entries);
  const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
  return WriteOutputFile(JournalPath(gbkMusicDir), std::span(data, text.size())) == OutputResult::kWritten;
}

bool RemoveJournal(std::string_view gbkMusicDir) {
  const std::string path = JournalPath(gbkMusicDir);
  // One more try: a removal that fails once (a virus scanner) often goes through, and a journal left
  // behind only costs the next opening a look at songs that are whole.
  if (!RemoveFile(path) && !RemoveFile(path)) return false;
  // Not flushed: every caller flushed the folder before, so a journal that comes back after a power
  // loss names songs that are whole, and the opening that finds it only looks.
  return true;
}

}  // namespace vx
