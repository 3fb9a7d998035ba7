#pragma once
// Reading the game's image archives (.vpi, .vpa): the directory at the end of the file, the frame count
// of an image entry, and one frame turned into a frame BMP.
//
// Layout, all little-endian: a 16-byte header whose u32 at offset 4 is the entry count N; entry data from
// offset 16; the last 152 x N bytes of the file are N directory records, addressed from the end (directory
// index 0 is the last record). A record holds the entry name (128 bytes, of which at most 100 are read)
// at +4 and the entry's absolute offset E at +132. An image entry (name ending in "vxs" or "vxt") starts
// with 12 header bytes (marks 0x55 0x05 at E+2, frame count in the low byte at E+4), then one 20-byte
// record per frame (width, height, data offset, data size), then the pixel area with every frame's
// X1R5G5B5 rows, top row first, unpadded.
//
// Every offset and size read from an archive is checked against the file's length before it is used: a
// damaged directory or entry gives an error for that entry and nothing else. Nothing is read before the
// start or past the end of the file, and nothing is allocated from a size field that has not been checked.
// Each operation opens the file itself and closes it before returning.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "core/io/file_io.h"

namespace vx {

inline constexpr std::size_t kArchiveHeaderSize = 16;
inline constexpr std::size_t kDirectoryRecordSize = 152;
inline constexpr std::size_t kEntryNameFieldSize = 128;
inline constexpr std::size_t kEntryNameReadSize = 100;
inline constexpr std::size_t kImageEntryHeaderSize = 12;
inline constexpr std::size_t kFrameRecordSize = 20;
inline constexpr int kMaxFrameCount = 255;
// The largest data size a frame may declare; a complete frame (2 x width x height) above it cannot exist.
inline constexpr std::uint32_t kMaxFrameDataSize = 0xFFFFFF;

struct ArchiveError {
  enum Kind {
    kCannotOpen,          // the file cannot be opened for reading
    kTruncated,           // shorter than the 8 bytes that hold the entry count
    kCountPastEnd,        // N records of 152 bytes do not fit behind the 16-byte header
    kNoSuchEntry,         // directory index outside 0 .. N-1
    kEntryPastEnd,        // the entry offset points past the end of the file
    kBadMark,             // the image entry's mark bytes are not 0x55 0x05
    kNoSuchFrame,         // frame number outside 1 .. the entry's frame count
    kFrameRecordPastEnd,  // the frame's 20-byte record runs past the end of the file
    kFrameTooLarge,       // data size above 0xFFFFFF, or a frame whose complete size would be
    kEmptyFrame,          // width or height 0: there is no picture to make
    kPixelsPastEnd,       // the frame's data runs past the end of the file
    kFrameDataShort,      // the data is short of 2 x width x height by more than one row
    kReadFailed,          // the file shrank or failed while being read
  };
  Kind kind;
  std::uint64_t offset;  // where in the archive the fault lies (the field that holds the bad value)

  friend bool operator==(const ArchiveError&, const ArchiveError&) = default;
};

// What is wrong and where, for the window and vxtool alike: "帧数据超出了文件末尾(第1234字节)".
std::string ArchiveErrorTextGbk(const ArchiveError& error);

// A value or the reason there is none.
template <class T>
class ArchiveResult {
 public:
  ArchiveResult(T value) : m_state(std::move(value)) {}
  ArchiveResult(ArchiveError error) : m_state(error) {}

  bool Ok() const { return m_state.index() == 0; }
  explicit operator bool() const { return Ok(); }
  const T& Value() const& { return std::get<0>(m_state); }
  // From a temporary the value is moved out, so `for (auto& r : *ReadDirectory(path))` does not walk a
  // vector that died with the temporary.
  T Value() && { return std::get<0>(std::move(m_state)); }
  const T& operator*() const& { return Value(); }
  T operator*() && { return std::move(*this).Value(); }
  const T* operator->() const { return &Value(); }
  const ArchiveError& Error() const { return std::get<1>(m_state); }

 private:
  std::variant<T, ArchiveError> m_state;
};

// Where the reader gets its bytes: an archive file, or bytes in memory (tests, fuzzing, benchmarks).
class ArchiveSource {
 public:
  virtual ~ArchiveSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Fills `out` from `offset`; the reader only asks for ranges inside Size().
  virtual bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

class MemorySource : public ArchiveSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
  std::uint64_t Size() const override { return m_bytes.size(); }
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

 private:
  std::span<const std::uint8_t> m_bytes;
};

// The archive file opened for reading, for several operations in a row; empty when it cannot be opened.
std::unique_ptr<ArchiveSource> OpenArchiveFile(std::string_view gbkArchivePath);

// bytes[0] + 256 x bytes[1] + 65536 x bytes[2] + 16777216 x bytes[3], using the first n (1 to 4) bytes.
constexpr std::uint32_t ReadLE(const std::uint8_t* bytes, int n) {
  std::uint32_t value = 0;
  for (int i = n - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

struct DirectoryRecord {
  std::string name;    // GBK, up to the first NUL within the first 100 name bytes
  int directoryIndex;  // counted from the end of the file: the last record is 0

  friend bool operator==(const DirectoryRecord&, const DirectoryRecord&) = default;
};

// The records in directory order: the one nearest the start of the directory first, so the directory
// indexes run N-1 down to 0. An entry count of 0 or below (top bit set) gives an empty list. Reads the
// count and then the whole directory, each in one read.
ArchiveResult<std::vector<DirectoryRecord>> ReadDirectory(std::string_view gbkArchivePath);
ArchiveResult<std::vector<DirectoryRecord>> ReadDirectory(const ArchiveSource& source);

// The entry's frame count F: the low byte of the u32 at E+4 (0 to 255). The mark bytes are not tested.
ArchiveResult<int> ReadFrameCount(std::string_view gbkArchivePath, int directoryIndex);
ArchiveResult<int> ReadFrameCount(const ArchiveSource& source, int directoryIndex);

struct DecodedFrame {
  Bytes bmp;  // the whole frame BMP file (see bmp.h): 54-byte header, `height` rows, 2 filler bytes
  int width;
  int height;
};

// Frame `frameNumber` (1 to entryFrameCount) of the image entry at `directoryIndex`, as a frame BMP.
// `entryFrameCount` is the entry's own F as ReadFrameCount gave it; it places the pixel area at
// E + 12 + 20 x F. The BMP always has exactly `height` rows: when the frame's data size is short of
// 2 x width x height by at most one row the missing bytes are zero, and surplus bytes are ignored. The
// rows are read in one read. Refused: wrong marks, a data size above 0xFFFFFF, a frame of width or height
// 0, a frame whose complete size would exceed 0xFFFFFF bytes, a frame whose data is short by more than
// one row (a few bytes of archive must not become a picture of megabytes of zeros), and any record or
// data that lies past the end of the file.
ArchiveResult<DecodedFrame> DecodeFrame(std::string_view gbkArchivePath, int directoryIndex, int frameNumber,
                                        int entryFrameCount);
ArchiveResult<DecodedFrame> DecodeFrame(const ArchiveSource& source, int directoryIndex, int frameNumber,
                                        int entryFrameCount);

// An image entry's name ends in "vxs" or "vxt", compared byte for byte (so "VXS" is not one).
bool IsImageEntryName(std::string_view gbkName);

}  // namespace vx
