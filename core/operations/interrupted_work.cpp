#include "core/operations/interrupted_work.h"

#include <chrono>

#include "core/formats/song_files.h"
#include "core/io/dir_list.h"
#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"
#include "core/io/library_journal.h"
#include "core/io/library_lock.h"
#include "core/operations/operation_support.h"
#include "core/platform/primitives.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

bool Present(const std::string& gbkPath) {
  return platform::NameTaken(NativePath(gbkPath));
}

bool SameBytes(const std::string& a, const std::string& b) {
  const auto left = ReadWholeFile(a), right = ReadWholeFile(b);
  return left && right && *left == *right;
}

enum class Mended { kWhole, kFinished, kUndone, kLeft };

// The names of a song's files in MUSIC: chart first, as every operation lists them.
std::vector<std::string> SongFileNames(int id) {
  return {ChartFileName(id), MusicFileName(id)};
}

// An install stopped after its copies were flushed and written down: the copies go in (the song they
// replace goes to the trash first), which is the only way that needs nothing the trash would have to
// give back.
Mended MendInstall(const std::string& music, const JournalEntry& e) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {JoinPath(music, e.musicTemporary), MusicPath(music, e.id)},
      {JoinPath(music, e.chartTemporary), ChartPath(music, e.id)}};
  std::vector<std::string> sources, targets, replaced;
  for (const auto& [temporary, target] : files) {
    if (!Present(temporary)) continue;
    sources.push_back(temporary);
    targets.push_back(target);
    // A file under the song's name while its copy still waits is the song being replaced.
    if (Present(target)) replaced.push_back(target);
  }
  if (sources.empty()) return Mended::kWhole;
  // The copy of a file already renamed is gone; one missing here without its file in place is lost.
  for (const auto& [temporary, target] : files)
    if (!Present(temporary) && !Present(target)) return Mended::kLeft;
  if (!replaced.empty() && (!e.replace || MoveFilesToTrash(replaced) != AllOrNone::kAll))
    return Mended::kLeft;
  return MoveFilesTo(sources, targets) == AllOrNone::kAll ? Mended::kFinished : Mended::kLeft;
}

// A song added to a free ID: its chart comes last, renamed into place only once both files were flushed,
// so a chart in place is a whole song; without it, what was made for the song goes. The ID was free
// under the lock and every file was made anew, so nothing there is anyone else's.
Mended MendAdd(const std::string& music, const JournalEntry& e) {
  const std::string temporary = JoinPath(music, e.chartTemporary);
  if (Present(ChartPath(music, e.id))) return Mended::kWhole;
  bool made = false, removed = true;
  for (const std::string& path : {MusicPath(music, e.id), temporary}) {
    if (!Present(path)) continue;
    made = true;
    removed = RemoveFile(path) && removed;
  }
  if (!made) return Mended::kWhole;
  return removed ? Mended::kUndone : Mended::kLeft;
}

// A renumber between its two renames goes back to the old ID, where the song was whole.
Mended MendRenumber(const std::string& music, const JournalEntry& e) {
  std::vector<std::string> back, to;
  bool atOld = false;
  for (const auto& [from, target] : {std::pair{ChartPath(music, e.id), ChartPath(music, e.to)},
                                     std::pair{MusicPath(music, e.id), MusicPath(music, e.to)}}) {
    if (Present(from)) {
      atOld = true;
    } else if (Present(target)) {
      back.push_back(target);
      to.push_back(from);
    }
  }
  if (!atOld || back.empty()) return Mended::kWhole;
  return MoveFilesTo(back, to) == AllOrNone::kAll ? Mended::kUndone : Mended::kLeft;
}

// A delete: for good, its files are first renamed beside themselves ("<name>.vxtmp-deleted"), which is
// undone while none is removed yet and finished once one is; to the trash, what is left follows what
// went.
Mended MendDelete(const std::string& music, const JournalEntry& e, const std::vector<std::string>& names) {
  std::vector<std::string> originals, staged;
  bool gone = false;
  for (const std::string& name : SongFileNames(e.id)) {
    const std::string prefix = name + std::string(kTemporaryMarker) + "deleted";
    std::vector<std::string> mine;
    for (const std::string& other : names)
      if (other.rfind(prefix, 0) == 0) mine.push_back(JoinPath(music, other));
    const bool original = Present(JoinPath(music, name));
    if (original) originals.push_back(JoinPath(music, name));
    if (!original && mine.empty()) gone = true;
    for (std::string& path : mine) staged.push_back(std::move(path));
  }
  if (staged.empty()) {
    if (!gone || originals.empty()) return Mended::kWhole;
    return MoveFilesToTrash(originals) == AllOrNone::kAll ? Mended::kFinished : Mended::kLeft;
  }
  if (gone || originals.empty()) {
    bool all = true;
    for (const std::string& path : staged) all = RemoveFile(path) && all;
    for (const std::string& path : originals) all = RemoveFile(path) && all;
    return all ? Mended::kFinished : Mended::kLeft;
  }
  std::vector<std::string> back;
  for (const std::string& path : staged) back.push_back(path.substr(0, path.find(kTemporaryMarker)));
  return MoveFilesTo(staged, back) == AllOrNone::kAll ? Mended::kUndone : Mended::kLeft;
}

// A copy across file systems killed before its rename leaves "<name>.vxtmp-<letters>" in the target, a
// folder no check of this library looks at. Only while no organizer writes there: a live copy of another
// library's move would carry the same kind of name.
void RemoveCopiesLeftInTarget(const JournalEntry& e) {
  const LibraryLock target(e.target, std::chrono::milliseconds(0));
  if (target.GetStatus() != LibraryLock::Status::kHeld) return;
  const auto listed = ListFolderNames(e.target);
  if (!listed) return;
  for (const std::string& name : SongFileNames(e.id)) {
    const std::string prefix = name + std::string(kTemporaryMarker);
    for (const std::string& native : *listed) {
      const auto gbk = GbkFromUtf8(native);
      if (!gbk || gbk->rfind(prefix, 0) != 0 || gbk->size() == prefix.size()) continue;
      if (gbk->find_first_not_of("0123456789abcdef", prefix.size()) != std::string::npos) continue;
      RemoveFile(JoinPath(e.target, *gbk));
    }
  }
}

// A move is finished where every file has reached the target (a copy across file systems is renamed
// into place only whole, so what remains in MUSIC is a second copy); otherwise it goes back.
Mended MendMove(const std::string& music, const JournalEntry& e) {
  RemoveCopiesLeftInTarget(e);
  struct File {
    std::string source, target;
    bool atSource, atTarget;
  };
  std::vector<File> files;
  bool complete = true, started = false, untouched = true;
  for (const std::string& name : SongFileNames(e.id)) {
    File f{JoinPath(music, name), JoinPath(e.target, name), false, false};
    f.atSource = Present(f.source);
    f.atTarget = Present(f.target);
    if (!f.atSource && !f.atTarget) continue;  // a song without music, say
    complete = complete && f.atTarget;
    started = started || f.atTarget;
    untouched = untouched && f.atSource && !f.atTarget;
    files.push_back(std::move(f));
  }
  if (untouched || !started) return Mended::kWhole;
  bool twice = false;
  for (const File& f : files) twice = twice || (f.atSource && f.atTarget);
  if (complete && !twice) return Mended::kWhole;
  for (const File& f : files)
    if (f.atSource && f.atTarget && !SameBytes(f.source, f.target)) return Mended::kLeft;
  if (complete) {
    for (const File& f : files)
      if (f.atSource && !RemoveFile(f.source)) return Mended::kLeft;
    return Mended::kFinished;
  }
  std::vector<std::string> back, to;
  for (const File& f : files) {
    if (f.atSource && f.atTarget) {
      if (!RemoveFile(f.target)) return Mended::kLeft;
    } else if (f.atTarget) {
      back.push_back(f.target);
      to.push_back(f.source);
    }
  }
  return MoveFilesTo(back, to) == AllOrNone::kAll ? Mended::kUndone : Mended::kLeft;
}

std::string_view KindText(JournalEntry::Kind kind) {
  switch (kind) {
    case JournalEntry::Kind::kAdd:
    case JournalEntry::Kind::kInstall:
      return msg::kRecoveredInstall;
    case JournalEntry::Kind::kRenumber:
      return msg::kRecoveredRenumber;
    case JournalEntry::Kind::kDelete:
      return msg::kRecoveredDelete;
    case JournalEntry::Kind::kMove:
      return msg::kRecoveredMove;
  }
  return {};
}

}  // namespace

Recovery RecoverInterruptedWork(std::string_view gbkMusicDir, Interaction& ui) {
  const std::string music(gbkMusicDir);
  if (!Present(JournalPath(music))) return Recovery::kNothing;
  const LibraryLock lock(music, std::chrono::milliseconds(0));
  if (!lock.MayWrite()) return Recovery::kBusy;
  // Read under the lock: another program may have mended the folder meanwhile.
  const ReadJournalResult journal = ReadJournal(music);
  if (journal.state == JournalState::kNone) return Recovery::kNothing;
  if (journal.state == JournalState::kDamaged) {
    detail::SayWithLines(ui, msg::kJournalDamaged, {JournalPath(music)});
    return Recovery::kDamaged;
  }
  std::vector<std::string> names;
  if (const auto listed = ListFolderNames(music))
    for (const std::string& native : *listed)
      if (native.find(kTemporaryMarker) != std::string::npos) names.push_back(native);

  std::vector<std::string> lines;
  std::vector<JournalEntry> left;
  for (const JournalEntry& e : journal.entries) {
    Mended mended = Mended::kWhole;
    switch (e.kind) {
      case JournalEntry::Kind::kAdd:
        mended = MendAdd(music, e);
        break;
      case JournalEntry::Kind::kInstall:
        mended = MendInstall(music, e);
        break;
      case JournalEntry::Kind::kRenumber:
        mended = MendRenumber(music, e);
        break;
      case JournalEntry::Kind::kDelete:
        mended = MendDelete(music, e, names);
        break;
      case JournalEntry::Kind::kMove:
        mended = MendMove(music, e);
        break;
    }
    if (mended == Mended::kWhole) continue;
    if (mended == Mended::kLeft) left.push_back(e);
    lines.push_back(Gbk(msg::kCheckSongBefore) + std::to_string(e.id) + " " + Gbk(KindText(e.kind)) +
                    Gbk(mended == Mended::kFinished ? msg::kRecoveredFinished
                        : mended == Mended::kUndone ? msg::kRecoveredUndone
                                                    : msg::kRecoveredLeft));
  }
  platform::SyncFolderOf(NativePath(JournalPath(music)));
  // What could not be mended stays written down, for the check to list and the next opening to try again.
  const bool kept = left.empty() ? RemoveJournal(music) : WriteJournal(music, left);
  if (!lines.empty()) detail::SayWithLines(ui, msg::kRecoveredBefore, lines);
  if (!left.empty() || !kept) return Recovery::kLeft;
  return lines.empty() ? Recovery::kNothing : Recovery::kDone;
}

Recovery RecoverInterruptedWork(const OperationContext& ctx) {
  const auto music = ctx.folders ? std::optional(ctx.folders->musicDir)
                                 : ReadFolder(ctx.gbkSettingsPath, FolderSlot::kMusic);
  if (!music || music->empty()) return Recovery::kNothing;
  return RecoverInterruptedWork(*music, ctx.ui);
}

OperationJournal::~OperationJournal() {
  if (!m_written || m_keep) return;
  platform::SyncFolderOf(NativePath(JournalPath(m_music)));
  RemoveJournal(m_music);
}

bool OperationJournal::Write(const std::vector<JournalEntry>& entries, Interaction& ui) {
  const std::string path = JournalPath(m_music);
  // Opening the folder mended what it could; a journal still there is damaged or names a song that
  // could not be mended, and writing over it would lose it.
  if (!m_written && Present(path)) {
    detail::SayWithLines(ui, msg::kJournalNotWritten, {path});
    return false;
  }
  m_entries.insert(m_entries.end(), entries.begin(), entries.end());
  if (!WriteJournal(m_music, m_entries)) {
    m_entries.resize(m_entries.size() - entries.size());
    detail::SayWithLines(ui, msg::kJournalNotWritten, {path});
    return false;
  }
  m_written = true;
  return true;
}

}  // namespace vx
