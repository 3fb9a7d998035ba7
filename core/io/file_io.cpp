// Bounded reads and output files, over the platform's primitives.
#include "core/io/file_io.h"

#include "core/io/temporary_file.h"
#include "core/platform/primitives.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

std::optional<Bytes> ReadOpened(const platform::File& file, std::uint64_t offset, std::size_t length) {
  if (!file.Ok()) return std::nullopt;
  Bytes bytes(length);
  const auto n = platform::ReadAt(file, offset, bytes);
  if (!n) return std::nullopt;
  bytes.resize(*n);  // the file may have shrunk since it was measured
  return bytes;
}

}  // namespace

std::optional<Bytes> ReadFilePrefix(std::string_view gbkPath, std::size_t maxBytes) {
  return ReadFileRange(gbkPath, 0, maxBytes);
}

std::optional<Bytes> ReadFileRange(std::string_view gbkPath, std::uint64_t offset, std::size_t length) {
  return ReadOpened(platform::OpenRegularForReading(NativePath(gbkPath)), offset, length);
}

ReadAccess ReadAccessOf(std::string_view gbkPath) {
  platform::Failure why = platform::Failure::kNone;
  if (platform::OpenRegularForReading(NativePath(gbkPath), nullptr, &why).Ok()) return ReadAccess::kReadable;
  switch (why) {
    case platform::Failure::kMissing:
      return ReadAccess::kMissing;
    case platform::Failure::kInUse:
      return ReadAccess::kInUse;
    case platform::Failure::kNoPermission:
      return ReadAccess::kNoPermission;
    default:
      return ReadAccess::kOther;
  }
}

std::optional<Bytes> ReadWholeFile(std::string_view gbkPath) {
  std::uint64_t size = 0;
  const platform::File file = platform::OpenRegularForReading(NativePath(gbkPath), &size);
  return ReadOpened(file, 0, static_cast<std::size_t>(size));
}

FolderReader::FolderReader(std::string_view gbkFolder)
    // An empty folder setting names the root, as the song paths built from it do.
    : m_folder(gbkFolder),
      m_folderHandle(platform::OpenFolderForLookups(gbkFolder.empty() ? std::filesystem::path("/")
                                                                      : NativePath(gbkFolder))) {}

FolderReader::~FolderReader() = default;

std::optional<std::size_t> FolderReader::ReadPrefix(std::string_view gbkName, std::span<std::uint8_t> buffer,
                                                    bool listedRegular) {
  // Without the folder open (one we may enter but not list, or Windows) the name is joined to it.
  const platform::File file =
      !m_folderHandle.Ok() ? platform::OpenRegularForReading(NativePath(JoinPath(m_folder, gbkName)))
      : listedRegular      ? platform::OpenListedRegularInFolder(m_folderHandle, NativePath(gbkName))
                           : platform::OpenRegularInFolder(m_folderHandle, NativePath(gbkName));
  if (!file.Ok()) return std::nullopt;
  return platform::ReadAt(file, 0, buffer);
}

bool NameWithoutFile(std::string_view gbkPath) {
  return platform::NameTaken(NativePath(gbkPath)) && KindOfPath(gbkPath) != PathKind::kRegularFile;
}

OutputResult WriteOutputFile(std::string_view gbkPath, const OutputProducer& produce, OutputMode mode) {
  using platform::NameKind;
  const platform::Path target = NativePath(gbkPath);
  const bool keep = mode == OutputMode::kKeepExisting;
  platform::Inherit inherit;
  NameKind kind = platform::KindOfName(target);
  if (kind == NameKind::kUnknown) return OutputResult::kFailed;
  if (kind != NameKind::kMissing && keep) return OutputResult::kExists;
  if (kind == NameKind::kRegular) {
    // The old file must be one we could have written in place, as a plain create-and-truncate would
    // have needed; whoever could read it can read the new one, and nobody else.
    platform::File old;
    kind = platform::OpenForReplace(target, old);
    if (kind == NameKind::kRegular) inherit = platform::PermissionsOf(old);
  }
  switch (kind) {
    case NameKind::kMissing:
    case NameKind::kRegular:
      break;
    case NameKind::kLink:
      return OutputResult::kLink;
    case NameKind::kOther:
      return OutputResult::kNotRegular;
    case NameKind::kUnknown:
      return OutputResult::kFailed;
  }

  TemporaryFile temp(target, inherit);
  if (!temp.Ok()) return OutputResult::kFailed;
  const bool written = produce([&temp](std::span<const std::uint8_t> bytes) { return temp.Write(bytes); });
  OutputResult result = OutputResult::kFailed;
  if (temp.Finish(written)) {
    // A replace puts the new file over a link that appeared meanwhile, never through it.
    switch (temp.Publish(target, keep ? platform::RenameMode::kKeep : platform::RenameMode::kReplace)) {
      case platform::Failure::kNone:
        return OutputResult::kWritten;
      case platform::Failure::kExists:
        result = keep ? OutputResult::kExists : OutputResult::kFailed;
        break;
      default:
        break;
    }
  }
  temp.Abandon();
  return result;
}

}  // namespace vx
