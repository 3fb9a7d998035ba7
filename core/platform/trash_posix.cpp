// The freedesktop.org trash: each file with its .trashinfo, so a file manager can restore it.
#include <ctime>
#include <span>
#include <string>

#include "core/io/fault_injection.h"
#include "core/io/file_move.h"
#include "core/platform/primitives.h"

namespace vx::platform {
namespace {

// RFC 2396 escaping, which the freedesktop.org trash wants for the Path key.
std::string EscapePath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       std::string_view("/-_.!~*'()").find(static_cast<char>(c)) != std::string_view::npos;
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

// A failed trash is undone by taking the files back, so nothing needs checking first.
bool SureToTrash(const Path&) {
  return true;
}

std::optional<TrashedFile> Trash(const Path& source) {
  if (FaultInjected(FsCall::kTrash)) return std::nullopt;
  if (source.empty()) return std::nullopt;
  const Path data = UserDataPath();
  if (data.empty()) return std::nullopt;
  const Path trash = data / "Trash";
  // The trash's folders are made when a file finds them missing, not looked at before every file: a
  // thousand songs are four thousand calls fewer. A source that is gone fails at its rename.
  bool madeFolders = false;
  const auto makeFolders = [&] {
    if (madeFolders) return false;
    madeFolders = true;
    return CreateNativeFolders(trash / "files") && CreateNativeFolders(trash / "info");
  };

  char date[32];
  const std::tm local = LocalTime(std::time(nullptr));
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  const std::string info =
      "[Trash Info]\nPath=" + EscapePath(source.native()) + "\nDeletionDate=" + date + "\n";

  const std::string stem = source.stem().native(), extension = source.extension().native();
  for (int n = 1; n < 10000; ++n) {
    const std::string name = n == 1 ? source.filename().native() : stem + "." + std::to_string(n) + extension;
    const Path infoPath = trash / "info" / (name + ".trashinfo");
    const Path filesPath = trash / "files" / name;
    // The info file is made first and exclusively: it claims the name against other programs trashing
    // at the same moment.
    File infoFile;
    if (const Failure created = CreateNew(infoPath, Inherit{0600u, std::nullopt, std::nullopt}, infoFile);
        created != Failure::kNone) {
      if (created == Failure::kExists) continue;
      if (created == Failure::kMissing && makeFolders()) {
        --n;  // the same name again, now that its folder is there
        continue;
      }
      return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(info.data());
    if (!Write(infoFile, std::span(bytes, info.size())) || !infoFile.Close()) {
      Remove(infoPath);
      return std::nullopt;
    }
    MoveResult moved = MoveNativeFile(source, filesPath, false);
    if (moved == MoveResult::kFailed && !NameTaken(filesPath.parent_path()) && makeFolders())
      moved = MoveNativeFile(source, filesPath, false);
    if (moved == MoveResult::kMoved) return TrashedFile{source, filesPath, infoPath};
    Remove(infoPath);
    if (moved != MoveResult::kTargetExists) return std::nullopt;
  }
  return std::nullopt;
}

bool Untrash(const TrashedFile& file) {
  if (MoveNativeFile(file.file, file.original, false) != MoveResult::kMoved) return false;
  // An info file without its file would show the person an entry that cannot be restored.
  Remove(file.info);
  return true;
}

}  // namespace vx::platform
