#include "core/archive/background.h"

#include <algorithm>

#include "core/archive/archive_reader.h"
#include "core/archive/bmp.h"
#include "core/archive/image_export.h"
#include "core/io/byte_reader.h"
#include "core/messages.h"
#include "core/text/compare.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

struct SceneCode {
  std::string_view code;
  std::string_view name;  // UTF-8
};

constexpr SceneCode kSceneCodes[] = {
    {"G1", "地下室"},   {"G2", "快乐街"},     {"G3", "录音棚"},   {"G4", "直播现场"}, {"G5", "喇叭屋"},
    {"G6", "海底宫殿"}, {"G7", "水母之家"},   {"G8", "深蓝谷"},   {"G9", "古来城"},   {"10", "比基尼沙滩"},
    {"11", "除夕之夜"}, {"12", "瑞雪兆丰年"}, {"13", "温馨圣诞"}, {"GB", "教学"},
};

constexpr std::string_view kTypePrefix = "背景:";

constexpr std::uint32_t kEntryStart = kArchiveHeaderSize;
constexpr std::uint32_t kEntryLength = 665164;  // from the entry's start to the directory record

}  // namespace

std::vector<BackgroundScene> BackgroundListOrder() {
  std::vector<BackgroundScene> order(kBackgroundScenes.begin(), kBackgroundScenes.end());
  std::stable_sort(order.begin(), order.end(), [](const BackgroundScene& a, const BackgroundScene& b) {
    return CompareGbk(Gbk(a.listText), Gbk(b.listText)) < 0;
  });
  return order;
}

std::string BackgroundEntryName(int number) {
  return "Playing_BG" + std::to_string(number) + ".vxs";
}

bool IsBackgroundEntryName(std::string_view gbkName) {
  const std::string_view chars =
      gbkName.size() >= 10 ? gbkName.substr(8, 2)
                           : gbkName.substr(gbkName.size() - std::min<std::size_t>(2, gbkName.size()));
  return chars == "BG";
}

std::string BackgroundTypeNameGbk(std::string_view gbkName) {
  const std::string_view code =
      gbkName.size() >= 6 ? gbkName.substr(gbkName.size() - 6, 2) : gbkName.substr(0, 2);
  for (const SceneCode& scene : kSceneCodes)
    if (scene.code == code) return Gbk(scene.name);
  return {};
}

std::string EntryTypeTextGbk(std::string_view gbkName) {
  if (!IsBackgroundEntryName(gbkName)) return {};
  return Gbk(kTypePrefix) + BackgroundTypeNameGbk(gbkName);
}

Bytes BackgroundArchiveBytes(std::span<const std::uint8_t> pixels, std::string_view gbkEntryName) {
  Bytes out(kBackgroundArchiveSize, 0);
  std::uint8_t* p = out.data();
  PutU32Le(p + 0, 2);
  PutU32Le(p + 4, 1);  // one entry
  // The entry header and its one frame record. The pixels start at 44, four bytes before the place the
  // readers' rule (E + 12 + 20 x F) gives, so read back here a background starts two pixels in. The game
  // may rely on this layout, so it is kept exactly as it has always been written.
  PutU16Le(p + 16, 1);
  p[18] = 0x55;
  p[19] = 0x05;
  PutU32Le(p + 20, 1);  // one frame
  PutU32Le(p + 24, 204);
  PutU16Le(p + 28, static_cast<std::uint16_t>(kBackgroundWidth));
  PutU16Le(p + 30, static_cast<std::uint16_t>(kBackgroundHeight));
  PutU32Le(p + 32, 0);
  PutU32Le(p + 36, static_cast<std::uint32_t>(kBackgroundPixelBytes));
  constexpr std::size_t kPixels = 44;
  std::copy_n(pixels.begin(), std::min(pixels.size(), kBackgroundPixelBytes), p + kPixels);

  std::uint8_t* record = p + kPixels + kBackgroundPixelBytes;  // 665180
  PutU32Le(record, 1);
  const std::size_t nameLength = std::min(gbkEntryName.size(), kEntryNameFieldSize - 1);
  std::copy_n(gbkEntryName.begin(), nameLength, record + 4);
  PutU32Le(record + 132, kEntryStart);
  PutU32Le(record + 136, kEntryLength);
  PutU32Le(record + 140, kEntryLength);
  return out;
}

OutputResult WriteBackgroundArchive(std::string_view gbkOutputPath, std::span<const std::uint8_t> pixels,
                                    std::string_view gbkEntryName) {
  return WriteOutputFile(gbkOutputPath, BackgroundArchiveBytes(pixels, gbkEntryName),
                         OutputMode::kKeepExisting);
}

std::optional<std::string> NextArchiveName(std::string_view gbkPicturePath) {
  // The folder with its separator, so a bare picture name gives a name beside it.
  const std::string folder(gbkPicturePath.substr(0, NameStart(gbkPicturePath)));
  for (int n = kFirstArchiveNumber; n < kFirstArchiveNumber + kArchiveNumbers; ++n) {
    std::string candidate = folder + "Playing1_" + std::to_string(n) + ".vpi";
    if (!NameTaken(candidate)) return candidate;
  }
  return std::nullopt;
}

BackgroundBuild BuildBackground(std::string_view gbkPicturePath, int backgroundNumber) {
  // Header and pixels in one read; the two filler bytes after the pixels are not needed.
  const auto picture = ReadFilePrefix(gbkPicturePath, kBmpHeaderSize + kBackgroundPixelBytes);
  if (!picture) return {BackgroundBuild::kCannotRead, {}};
  // A file cut short must not become a background whose missing rows are made up.
  if (picture->size() < kBmpHeaderSize + kBackgroundPixelBytes || !IsBackgroundBmpHeader(*picture))
    return {BackgroundBuild::kBadPicture, {}};

  auto output = NextArchiveName(gbkPicturePath);
  if (!output) return {BackgroundBuild::kNoFreeName, {}};
  const std::span<const std::uint8_t> pixels(picture->data() + kBmpHeaderSize, kBackgroundPixelBytes);
  if (WriteBackgroundArchive(*output, pixels, BackgroundEntryName(backgroundNumber)) !=
      OutputResult::kWritten)
    return {BackgroundBuild::kCannotWrite, std::move(*output)};
  return {BackgroundBuild::kWritten, std::move(*output)};
}

BackgroundBuild MakeBackground(std::string_view gbkPicturePath, int backgroundNumber, Interaction& io) {
  const std::string caption = Gbk(msg::kAppTitle);
  BackgroundBuild result = BuildBackground(gbkPicturePath, backgroundNumber);
  switch (result.status) {
    case BackgroundBuild::kWritten:
      io.ShowMessage(
          Gbk(msg::kBackgroundWrittenBefore) + result.archivePath + Gbk(msg::kBackgroundWrittenAfter),
          caption);
      break;
    case BackgroundBuild::kBadPicture:
    case BackgroundBuild::kCannotRead:  // for instance held by another program
      io.ShowMessage(Gbk(msg::kBadBackgroundPicture), caption);
      break;
    case BackgroundBuild::kNoFreeName:
      io.ShowMessage(Gbk(msg::kBackgroundNamesUsedUp), caption);
      break;
    case BackgroundBuild::kCannotWrite:
      // A full disk must not look like a click that did nothing.
      io.ShowMessage(Gbk(msg::kExportWriteFailed) + result.archivePath, caption);
      break;
  }
  return result;
}

std::optional<BackgroundBuild> OnMakeBackground(int backgroundNumber, Interaction& io) {
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kBackgroundPictureFilter), "*.bmp"}};
  request.defaultExtension = "bmp";
  const auto picture = io.ChooseOpenFile(request);
  if (!picture) return std::nullopt;
  return MakeBackground(*picture, backgroundNumber, io);
}

}  // namespace vx
