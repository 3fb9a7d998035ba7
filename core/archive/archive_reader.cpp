#include "core/archive/archive_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/archive/bmp.h"
#include "core/io/random_access_file.h"
#include "core/messages.h"
#include "core/text/gbk.h"

namespace vx {
namespace {

constexpr std::uint64_t kCountOffset = 4;
constexpr std::size_t kNameInRecord = 4;
constexpr std::size_t kEntryOffsetFromRecordEnd =
    20;  // the entry offset field sits 20 bytes before a record ends

class FileSource : public ArchiveSource {
 public:
  explicit FileSource(RandomAccessFile file) : m_file(std::move(file)) {}
  std::uint64_t Size() const override { return m_file.Size(); }
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    return m_file.ReadAt(offset, out);
  }

 private:
  RandomAccessFile m_file;
};

// The count is a u32 that the game treats as signed: a set top bit means no records.
ArchiveResult<std::int32_t> ReadEntryCount(const ArchiveSource& source) {
  if (source.Size() < kCountOffset + 4) return ArchiveError{ArchiveError::kTruncated, source.Size()};
  std::array<std::uint8_t, 4> field{};
  if (!source.ReadAt(kCountOffset, field)) return ArchiveError{ArchiveError::kReadFailed, kCountOffset};
  const auto count = static_cast<std::int32_t>(ReadLE(field.data(), 4));
  if (count <= 0) return std::int32_t{0};
  // A damaged count must not make us read or reserve more than the file holds.
  if (source.Size() < kArchiveHeaderSize ||
      static_cast<std::uint64_t>(count) > (source.Size() - kArchiveHeaderSize) / kDirectoryRecordSize)
    return ArchiveError{ArchiveError::kCountPastEnd, kCountOffset};
  return count;
}

struct EntryLocation {
  std::uint64_t fieldOffset;  // of the record's entry-offset field, for error reports
  std::uint64_t entry;        // E
};

ArchiveResult<EntryLocation> LocateEntry(const ArchiveSource& source, int directoryIndex) {
  auto count = ReadEntryCount(source);
  if (!count) return count.Error();
  if (directoryIndex < 0 || directoryIndex >= *count)
    return ArchiveError{ArchiveError::kNoSuchEntry, kCountOffset};
  const std::uint64_t field = source.Size() - kEntryOffsetFromRecordEnd -
                              kDirectoryRecordSize * static_cast<std::uint64_t>(directoryIndex);
  std::array<std::uint8_t, 4> bytes{};
  if (!source.ReadAt(field, bytes)) return ArchiveError{ArchiveError::kReadFailed, field};
  return EntryLocation{field, ReadLE(bytes.data(), 4)};
}

}  // namespace

std::unique_ptr<ArchiveSource> OpenArchiveFile(std::string_view gbkArchivePath) {
  auto file = RandomAccessFile::Open(gbkArchivePath);
  if (!file) return nullptr;
  return std::make_unique<FileSource>(std::move(*file));
}

std::string ArchiveErrorTextGbk(const ArchiveError& error) {
  std::string_view what = msg::kArchiveDamaged;
  switch (error.kind) {
    case ArchiveError::kCannotOpen:
      return Gbk(msg::kArchiveCannotOpen);
    case ArchiveError::kTruncated:
      what = msg::kArchiveTruncated;
      break;
    case ArchiveError::kCountPastEnd:
      what = msg::kArchiveCountPastEnd;
      break;
    case ArchiveError::kNoSuchEntry:
      what = msg::kArchiveNoSuchEntry;
      break;
    case ArchiveError::kEntryPastEnd:
      what = msg::kArchiveEntryPastEnd;
      break;
    case ArchiveError::kBadMark:
      what = msg::kArchiveBadMark;
      break;
    case ArchiveError::kNoSuchFrame:
      what = msg::kArchiveNoSuchFrame;
      break;
    case ArchiveError::kFrameRecordPastEnd:
      what = msg::kArchiveFrameRecordPastEnd;
      break;
    case ArchiveError::kFrameTooLarge:
      what = msg::kArchiveFrameTooLarge;
      break;
    case ArchiveError::kEmptyFrame:
      what = msg::kArchiveEmptyFrame;
      break;
    case ArchiveError::kPixelsPastEnd:
      what = msg::kArchivePixelsPastEnd;
      break;
    case ArchiveError::kFrameDataShort:
      what = msg::kArchiveFrameDataShort;
      break;
    case ArchiveError::kReadFailed:
      what = msg::kArchiveReadFailed;
      break;
  }
  return Gbk(what) + Gbk(msg::kListAtByteBefore) + std::to_string(error.offset) + Gbk(msg::kListAtByteAfter);
}

bool MemorySource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (offset > m_bytes.size() || out.size() > m_bytes.size() - offset) return false;
  std::memcpy(out.data(), m_bytes.data() + offset, out.size());
  return true;
}

bool IsImageEntryName(std::string_view gbkName) {
  return gbkName.ends_with("vxs") || gbkName.ends_with("vxt");
}

ArchiveResult<std::vector<DirectoryRecord>> ReadDirectory(const ArchiveSource& source) {
  auto count = ReadEntryCount(source);
  if (!count) return count.Error();
  const auto n = static_cast<std::size_t>(*count);
  std::vector<DirectoryRecord> records;
  if (n == 0) return records;

  // The whole directory in one read; its size was checked against the file above.
  const std::uint64_t start = source.Size() - kDirectoryRecordSize * n;
  Bytes directory(kDirectoryRecordSize * n);
  if (!source.ReadAt(start, directory)) return ArchiveError{ArchiveError::kReadFailed, start};

  records.reserve(n);
  for (std::size_t pos = 0; pos < n; ++pos) {
    const char* name =
        reinterpret_cast<const char*>(directory.data() + pos * kDirectoryRecordSize + kNameInRecord);
    const void* nul = std::memchr(name, '\0', kEntryNameReadSize);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - name) : kEntryNameReadSize;
    records.push_back({std::string(name, length), static_cast<int>(n - 1 - pos)});
  }
  return records;
}

ArchiveResult<std::vector<DirectoryRecord>> ReadDirectory(std::string_view gbkArchivePath) {
  auto source = OpenArchiveFile(gbkArchivePath);
  if (!source) return ArchiveError{ArchiveError::kCannotOpen, 0};
  return ReadDirectory(*source);
}

ArchiveResult<int> ReadFrameCount(const ArchiveSource& source, int directoryIndex) {
  auto location = LocateEntry(source, directoryIndex);
  if (!location) return location.Error();
  const std::uint64_t field = location->entry + 4;
  if (location->entry > source.Size() || source.Size() - location->entry < 8)
    return ArchiveError{ArchiveError::kEntryPastEnd, location->fieldOffset};
  std::array<std::uint8_t, 4> bytes{};
  if (!source.ReadAt(field, bytes)) return ArchiveError{ArchiveError::kReadFailed, field};
  return static_cast<int>(bytes[0]);
}

ArchiveResult<int> ReadFrameCount(std::string_view gbkArchivePath, int directoryIndex) {
  auto source = OpenArchiveFile(gbkArchivePath);
  if (!source) return ArchiveError{ArchiveError::kCannotOpen, 0};
  return ReadFrameCount(*source, directoryIndex);
}

ArchiveResult<DecodedFrame> DecodeFrame(const ArchiveSource& source, int directoryIndex, int frameNumber,
                                        int entryFrameCount) {
  auto location = LocateEntry(source, directoryIndex);
  if (!location) return location.Error();
  const std::uint64_t size = source.Size();
  const std::uint64_t e = location->entry;
  if (e > size || size - e < 4) return ArchiveError{ArchiveError::kEntryPastEnd, location->fieldOffset};
  if (entryFrameCount < 0 || entryFrameCount > kMaxFrameCount || frameNumber < 1 ||
      frameNumber > entryFrameCount)
    return ArchiveError{ArchiveError::kNoSuchFrame, e + 4};

  // The entry header and the frame records up to frame k, in one read; frame k's fields end at E+20k+4.
  const std::size_t k = static_cast<std::size_t>(frameNumber);
  const std::size_t headLength = kFrameRecordSize * k + 4;
  if (size - e < headLength) return ArchiveError{ArchiveError::kFrameRecordPastEnd, e + 20 * k - 8};
  Bytes head(headLength);
  if (!source.ReadAt(e, head)) return ArchiveError{ArchiveError::kReadFailed, e};
  if (head[2] != 0x55 || head[3] != 0x05) return ArchiveError{ArchiveError::kBadMark, e + 2};

  const std::uint8_t* record = head.data() + 20 * k - 8;
  const std::uint32_t dataSize = ReadLE(record + 8, 4);
  if (dataSize > kMaxFrameDataSize) return ArchiveError{ArchiveError::kFrameTooLarge, e + 20 * k};
  const std::uint32_t dataOffset = ReadLE(record + 4, 4);
  const int width = static_cast<int>(ReadLE(record, 2));
  const int height = static_cast<int>(ReadLE(record + 2, 2));
  if (width == 0 || height == 0) return ArchiveError{ArchiveError::kEmptyFrame, e + 20 * k - 8};
  // The BMP is sized from width and height, not from the data: a frame no archive could hold completely
  // must not make us build a picture of gigabytes.
  const std::uint64_t complete =
      2ull * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  if (complete > kMaxFrameDataSize) return ArchiveError{ArchiveError::kFrameTooLarge, e + 20 * k - 8};

  const std::uint64_t start =
      e + kImageEntryHeaderSize + kFrameRecordSize * static_cast<std::uint64_t>(entryFrameCount) + dataOffset;
  if (start > size || size - start < dataSize)
    return ArchiveError{ArchiveError::kPixelsPastEnd, e + 20 * k - 4};

  // The BMP starts as zeros, so a frame whose data ends early comes out with exactly `height` rows whose
  // missing bytes are zero; data beyond `height` rows is never read.
  const std::size_t bmpSize = FrameBmpSize(width, height);
  DecodedFrame frame{Bytes(bmpSize, 0), width, height};
  const auto header = MakeBmpHeader(width, height, static_cast<std::uint32_t>(bmpSize));
  std::copy(header.begin(), header.end(), frame.bmp.begin());
  const std::size_t rowIn = 2 * static_cast<std::size_t>(width);
  if (dataSize < complete && complete - dataSize > rowIn)
    return ArchiveError{ArchiveError::kFrameDataShort, e + 20 * k};
  const std::size_t used = static_cast<std::size_t>(std::min<std::uint64_t>(dataSize, complete));
  if (used == 0) return frame;
  const std::span<std::uint8_t> pixels(frame.bmp.data() + kBmpHeaderSize, used);
  const std::size_t rowOut = FrameBmpRowBytes(width);
  if (rowIn == rowOut) {
    // Even widths need no row padding: the rows go straight into place in one read.
    if (!source.ReadAt(start, pixels)) return ArchiveError{ArchiveError::kReadFailed, start};
    return frame;
  }
  Bytes rows(used);
  if (!source.ReadAt(start, rows)) return ArchiveError{ArchiveError::kReadFailed, start};
  std::uint8_t* out = frame.bmp.data() + kBmpHeaderSize;
  for (std::size_t pos = 0; pos < used; pos += rowIn, out += rowOut)
    std::memcpy(out, rows.data() + pos, std::min(rowIn, used - pos));
  return frame;
}

ArchiveResult<DecodedFrame> DecodeFrame(std::string_view gbkArchivePath, int directoryIndex, int frameNumber,
                                        int entryFrameCount) {
  auto source = OpenArchiveFile(gbkArchivePath);
  if (!source) return ArchiveError{ArchiveError::kCannotOpen, 0};
  return DecodeFrame(*source, directoryIndex, frameNumber, entryFrameCount);
}

}  // namespace vx
