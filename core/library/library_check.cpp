#include "core/library/library_check.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <map>

#include "core/formats/chart_header.h"
#include "core/formats/cover.h"
#include "core/formats/song_files.h"
#include "core/io/dir_list.h"
#include "core/io/file_io.h"
#include "core/io/file_rewrite.h"
#include "core/io/library_journal.h"
#include "core/messages.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

struct ChartLook {
  std::string title, noter;
};

void CheckChart(std::string_view gbkMusicDir, int id, std::vector<LibraryFinding>& findings,
                std::map<int, ChartLook>& looks) {
  const std::string name = ChartFileName(id);
  const std::string path = JoinPath(gbkMusicDir, name);
  const auto size = FileSize(path);
  const auto head = size ? ReadFilePrefix(path, kChartHeaderSize) : std::nullopt;
  if (!head) {
    // A pipe or a device under a chart's name would hang whatever waits on it; the scan passes it over
    // without a word, so this is where the person learns of it.
    const PathKind kind = KindOfPath(path);
    const bool special = kind == PathKind::kOther || kind == PathKind::kFolder;
    findings.push_back(
        {special ? LibraryFinding::kChartNotRegular : LibraryFinding::kChartUnreadable, {id}, name, {}});
    return;
  }
  const ChartHeader header = ParseChartHeader(*head);
  looks[id] = {header.title, header.noter};
  if (head->size() < kChartHeaderSize) {
    // Its cover fields may be cut off too; what they say is no finding of its own.
    findings.push_back({LibraryFinding::kChartShort, {id}, name, {}});
    return;
  }
  if (header.coverSize == 0) return;
  if (!CoverInsideFile(header, *size)) {
    findings.push_back({LibraryFinding::kCoverOutside, {id}, name, {}});
    return;
  }
  // The marker test needs only the first byte and the second-to-last; the picture itself is not read.
  const auto first = ReadFileRange(path, header.coverOffset, 1);
  const auto last = header.coverSize >= 2
                        ? ReadFileRange(path, std::uint64_t{header.coverOffset} + header.coverSize - 2, 2)
                        : std::nullopt;
  bool passes = false;
  if (first && last && first->size() == 1 && last->size() == 2) {
    const std::array<std::uint8_t, 3> ends = {(*first)[0], (*last)[0], (*last)[1]};
    passes = PassesCoverMarkerTest(ends);
  }
  if (!passes) findings.push_back({LibraryFinding::kCoverNotJpeg, {id}, name, {}});
}

std::string IdsText(const std::vector<int>& ids) {
  std::string text;
  for (std::size_t i = 0; i < ids.size(); ++i) text += (i ? "," : "") + std::to_string(ids[i]);
  return text;
}

}  // namespace

LibraryReport CheckLibrary(std::string_view gbkMusicDir) {
  LibraryReport report;
  const auto names = ListFolderNames(gbkMusicDir);
  if (!names) {
    report.folderReadable = false;
    return report;
  }
  std::bitset<kMaxSongs> charts, music;
  std::vector<LibraryFinding> namesNotLoaded;
  std::vector<std::pair<std::string, int>> otherCase;  // (name, id), decided once the exact names are known
  std::vector<LibraryFinding> leftovers;
  for (const std::string& native : *names) {
    if (native.find(kTemporaryMarker) != std::string::npos) {
      // The name came from the file system; a name GBK cannot spell was never one of ours.
      if (auto gbk = GbkFromUtf8(native))
        leftovers.push_back({LibraryFinding::kLeftoverTemporary, {}, *gbk, {}});
      continue;
    }
    const auto song = SplitSongFileName(native);
    if (!song) continue;  // also every name that is not plain ASCII, so native bytes are GBK bytes here
    if (song->digits.size() > 1 && song->digits[0] == '0') {
      namesNotLoaded.push_back({LibraryFinding::kNameLeadingZeros, {}, native, {}});
      continue;
    }
    if (song->digits.size() > 4 || std::stoi(song->digits) >= kMaxSongs) {
      namesNotLoaded.push_back({LibraryFinding::kNameIdTooLarge, {}, native, {}});
      continue;
    }
    const int id = std::stoi(song->digits);
    const std::string exact = song->chart ? ChartFileName(id) : MusicFileName(id);
    if (native != exact) {
      otherCase.emplace_back(native, id);
      continue;
    }
    (song->chart ? charts : music).set(static_cast<std::size_t>(id));
  }
  for (const auto& [native, id] : otherCase) {
    const bool chart = SplitSongFileName(native)->chart;
    const std::string exact = chart ? ChartFileName(id) : MusicFileName(id);
    auto& present = chart ? charts : music;
    // The game asks for its own spelling. Where the file system ignores case that finds this file, unless
    // a file of the exact name exists beside it, which then wins; elsewhere it never finds it.
    if (!present.test(static_cast<std::size_t>(id)) && FileExists(JoinPath(gbkMusicDir, exact))) {
      present.set(static_cast<std::size_t>(id));
      continue;
    }
    namesNotLoaded.push_back({LibraryFinding::kNameOtherCase, {}, native, exact});
  }

  std::map<int, ChartLook> looks;
  for (int id = 0; id < kMaxSongs; ++id) {
    const auto i = static_cast<std::size_t>(id);
    if (charts.test(i) && !music.test(i))
      report.findings.push_back({LibraryFinding::kMusicMissing, {id}, MusicFileName(id), {}});
    if (music.test(i) && !charts.test(i))
      report.findings.push_back({LibraryFinding::kChartMissing, {id}, ChartFileName(id), {}});
    if (music.test(i) && charts.test(i) &&
        KindOfPath(JoinPath(gbkMusicDir, MusicFileName(id))) != PathKind::kRegularFile)
      report.findings.push_back({LibraryFinding::kMusicUnreachable, {id}, MusicFileName(id), {}});
    if (charts.test(i)) CheckChart(gbkMusicDir, id, report.findings, looks);
  }

  std::sort(namesNotLoaded.begin(), namesNotLoaded.end(),
            [](const LibraryFinding& a, const LibraryFinding& b) { return a.fileName < b.fileName; });
  report.findings.insert(report.findings.end(), namesNotLoaded.begin(), namesNotLoaded.end());
  std::sort(leftovers.begin(), leftovers.end(),
            [](const LibraryFinding& a, const LibraryFinding& b) { return a.fileName < b.fileName; });
  report.findings.insert(report.findings.end(), leftovers.begin(), leftovers.end());
  if (const JournalState journal = ReadJournal(gbkMusicDir).state; journal != JournalState::kNone)
    report.findings.push_back(
        {journal == JournalState::kPresent ? LibraryFinding::kJournal : LibraryFinding::kJournalDamaged,
         {},
         std::string(kJournalFileName),
         {}});

  std::map<std::pair<std::string, std::string>, std::vector<int>> byName;
  for (const auto& [id, look] : looks)
    if (!look.title.empty()) byName[{look.title, look.noter}].push_back(id);
  std::vector<LibraryFinding> duplicates;
  for (const auto& [key, ids] : byName)
    if (ids.size() > 1)
      duplicates.push_back({LibraryFinding::kDuplicate, ids, {}, key.first + " / " + key.second});
  std::sort(duplicates.begin(), duplicates.end(),
            [](const LibraryFinding& a, const LibraryFinding& b) { return a.ids.front() < b.ids.front(); });
  report.findings.insert(report.findings.end(), duplicates.begin(), duplicates.end());
  return report;
}

std::vector<std::string> LibraryReportLinesGbk(const LibraryReport& report) {
  if (!report.folderReadable) return {Gbk(msg::kCheckFolderUnreadable)};
  if (report.findings.empty()) return {Gbk(msg::kCheckClean)};
  std::vector<std::string> lines;
  for (const LibraryFinding& f : report.findings) {
    std::string line;
    if (!f.ids.empty()) line = Gbk(msg::kCheckSongBefore) + IdsText(f.ids) + Gbk(msg::kCheckSongAfter);
    switch (f.kind) {
      case LibraryFinding::kMusicMissing:
        line += Gbk(msg::kCheckMusicMissing) + f.fileName;
        break;
      case LibraryFinding::kChartMissing:
        line += Gbk(msg::kCheckChartMissing) + f.fileName;
        break;
      case LibraryFinding::kMusicUnreachable:
        line += Gbk(msg::kCheckMusicUnreachable) + f.fileName;
        break;
      case LibraryFinding::kNameLeadingZeros:
        line += f.fileName + Gbk(msg::kCheckLeadingZeros);
        break;
      case LibraryFinding::kNameOtherCase:
        line += f.fileName + Gbk(msg::kCheckOtherCase) + f.detail;
        break;
      case LibraryFinding::kNameIdTooLarge:
        line += f.fileName + Gbk(msg::kCheckIdTooLarge);
        break;
      case LibraryFinding::kChartUnreadable:
        line += Gbk(msg::kCheckUnreadable) + f.fileName;
        break;
      case LibraryFinding::kChartNotRegular:
        line += Gbk(msg::kCheckNotRegularBefore) + f.fileName + Gbk(msg::kCheckNotRegularAfter);
        break;
      case LibraryFinding::kChartShort:
        line += Gbk(msg::kCheckShortBefore) + f.fileName + Gbk(msg::kCheckShortAfter);
        break;
      case LibraryFinding::kCoverOutside:
        line += Gbk(msg::kCheckCoverOutsideBefore) + f.fileName + Gbk(msg::kCheckCoverOutsideAfter);
        break;
      case LibraryFinding::kCoverNotJpeg:
        line += Gbk(msg::kCheckCoverBadBefore) + f.fileName + Gbk(msg::kCheckCoverBadAfter);
        break;
      case LibraryFinding::kDuplicate:
        line += Gbk(msg::kCheckDuplicate) + f.detail;
        break;
      case LibraryFinding::kJournal:
        line += Gbk(msg::kCheckJournal) + f.fileName;
        break;
      case LibraryFinding::kJournalDamaged:
        line += Gbk(msg::kCheckJournalDamaged) + f.fileName;
        break;
      case LibraryFinding::kLeftoverTemporary:
        line += Gbk(msg::kCheckLeftoverTemporary) + f.fileName;
        break;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string LibraryReportTextGbk(const LibraryReport& report) {
  std::string text;
  for (const std::string& line : LibraryReportLinesGbk(report)) text += line + "\n";
  return text;
}

bool HasLeftoverTemporaries(const LibraryReport& report) {
  return std::any_of(report.findings.begin(), report.findings.end(),
                     [](const LibraryFinding& f) { return f.kind == LibraryFinding::kLeftoverTemporary; });
}

std::set<int> ReportedIds(const LibraryReport& report) {
  std::set<int> ids;
  for (const LibraryFinding& f : report.findings) ids.insert(f.ids.begin(), f.ids.end());
  return ids;
}

std::size_t TickIds(SongTable& table, const std::set<int>& ids) {
  std::size_t ticked = 0;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!ids.count(table.Row(r).Id())) continue;
    table.SetTicked(r, true);
    ++ticked;
  }
  return ticked;
}

}  // namespace vx
