#include "core/operations/text_lists.h"

#include <array>

#include "core/formats/song_files.h"
#include "core/io/file_io.h"
#include "core/operations/operation_support.h"
#include "core/settings/settings_file.h"
#include "core/text/file_name.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

struct ListField {
  int column;
  std::string_view header;  // UTF-8, padded to its GBK width below
  std::size_t headerWidth;
  std::size_t width;
};

// The time header is 12 bytes wide while its field is 10: lists have always been written that way and
// their readers expect it.
constexpr std::array<ListField, 8> kFields = {{
    {kColId, "歌曲编号", 10, 10},
    {kColTitle, "歌曲名称", 32, 32},
    {kColEasy, "简单", 6, 6},
    {kColNormal, "普通", 6, 6},
    {kColHard, "困难", 6, 6},
    {kColNoter, "NOTER", 32, 32},
    {kColBpm, "BPM", 10, 10},
    {kColTime, "时间", 12, 10},
}};

// A cell at least as wide as its field is written whole, shifting the rest of the line.
void AppendPadded(std::string& out, std::string_view text, std::size_t width) {
  out += text;
  if (text.size() < width) out.append(width - text.size(), ' ');
}

}  // namespace

std::string BuildTextListGbk(const SongTable& table) {
  std::string out;
  out.reserve(114 + table.TickedCount() * 114);
  for (const ListField& f : kFields) AppendPadded(out, Gbk(f.header), f.headerWidth);
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    out += "\r\n";
    for (const ListField& f : kFields) AppendPadded(out, table.Cell(r, f.column), f.width);
  }
  return out;
}

OperationResult OnTextList(OperationContext& ctx) {
  const SongTable& table = ctx.table;
  Interaction& ui = ctx.ui;
  OperationResult result;
  if (table.Empty()) {
    detail::Say(ui, msg::kEmptyTableTextList);
    return Finished(result, Outcome::kEmptyTable);
  }
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kFilterText), "*.txt"}, {Gbk(msg::kFilterAll), "*.*"}};
  request.defaultExtension = "txt";
  const auto path = ui.ChooseSaveFile(request);
  if (!path) return Finished(result, Outcome::kCancelled);
  const std::string list = BuildTextListGbk(table);
  const OutputResult written =
      WriteOutputFile(*path, std::span(reinterpret_cast<const std::uint8_t*>(list.data()), list.size()));
  if (written != OutputResult::kWritten) {
    detail::SayWithLines(ui, msg::kCannotCreateFile, {detail::NamedOutput(*path, written)});
    return Finished(result, Outcome::kFailed);
  }
  return Finished(result, Outcome::kDone);
}

std::string SongTextPath(std::string_view gbkMusicDir, const SongRow& row) {
  return JoinPath(gbkMusicDir, std::string(kSongFilePrefix) + std::to_string(row.Id()) +
                                   MakeFileNameSafe(row.cells[kColTitle]) + ".txt");
}

OperationResult OnBatchText(OperationContext& ctx) {
  const SongTable& table = ctx.table;
  Interaction& ui = ctx.ui;
  OperationResult result;
  const auto started =
      StartOperation(ctx, detail::kNeedMusic | detail::kWrites, msg::kEmptyTableScan, result);
  if (!started) return result;
  const std::string* musicDir = &started->folders.musicDir;
  bool anyTicked = false;
  std::vector<std::string> notCreated;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    anyTicked = true;
    const std::string& title = table.Cell(r, kColTitle);
    const std::string path = SongTextPath(*musicDir, table.Row(r));
    const OutputResult written =
        WriteOutputFile(path, std::span(reinterpret_cast<const std::uint8_t*>(title.data()), title.size()));
    if (written != OutputResult::kWritten) notCreated.push_back(detail::NamedOutput(path, written));
  }
  if (!anyTicked) return Finished(result, Outcome::kNothingTicked);
  // Saying "done" over files that were never written would send the person looking for them.
  if (!notCreated.empty()) {
    detail::SayWithLines(ui, msg::kFilesNotCreated, notCreated);
    return Finished(result, Outcome::kFailed);
  }
  detail::Say(ui, msg::kBatchTextDone);
  return Finished(result, Outcome::kDone);
}

}  // namespace vx
