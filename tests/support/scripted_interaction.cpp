#include "tests/support/scripted_interaction.h"

#include <algorithm>
#include <filesystem>

#include "core/io/file_move.h"
#include "core/text/native_path.h"

namespace vx::fixtures {
namespace {

template <typename T, typename D>
T Pop(std::deque<T>& script, D fallback) {
  if (script.empty()) return fallback;
  T value = std::move(script.front());
  script.pop_front();
  return value;
}

}  // namespace

void ScriptedInteraction::ShowMessage(const std::string& text, const std::string& caption) {
  events.push_back({Event::kMessage, text, caption, {}});
}

bool ScriptedInteraction::AskOkCancel(const std::string& text, const std::string& caption) {
  events.push_back({Event::kOkCancel, text, caption, {}});
  return Pop(okCancelAnswers, false);
}

std::optional<std::string> ScriptedInteraction::ChooseSaveFile(const FileDialogRequest& request) {
  events.push_back({Event::kSaveFile, {}, {}, request});
  return Pop(saveFileAnswers, std::nullopt);
}

std::optional<std::string> ScriptedInteraction::ChooseOpenFile(const FileDialogRequest& request) {
  events.push_back({Event::kOpenFile, {}, {}, request});
  return Pop(openFileAnswers, std::nullopt);
}

std::vector<std::string> ScriptedInteraction::ChooseOpenFiles(const FileDialogRequest& request) {
  events.push_back({Event::kOpenFile, {}, {}, request});
  return Pop(openFilesAnswers, std::vector<std::string>{});
}

std::optional<std::string> ScriptedInteraction::ChooseFolder(const std::string& prompt) {
  events.push_back({Event::kFolder, prompt, {}, {}});
  return Pop(folderAnswers, std::nullopt);
}

AllOrNone ScriptedInteraction::MoveToTrash(const std::vector<std::string>& gbkPaths) {
  for (const std::string& path : gbkPaths) events.push_back({Event::kTrash, path, {}, {}});
  if (!trashSucceeds) return AllOrNone::kNone;
  std::map<std::string, Bytes> taking;
  for (const std::string& path : gbkPaths) taking[path] = ReadWholeFile(path).value_or(Bytes{});
  const AllOrNone result = DeleteFiles(gbkPaths);
  if (result == AllOrNone::kAll) trashed.merge(taking);
  return result;
}

bool ScriptedInteraction::RestoreFromTrash(const std::vector<std::string>& gbkPaths) {
  for (const std::string& path : gbkPaths)
    if (!trashed.count(path) || FileExists(path)) return false;
  for (const std::string& path : gbkPaths) {
    if (WriteOutputFile(path, trashed[path], OutputMode::kKeepExisting) != OutputResult::kWritten)
      return false;
    trashed.erase(path);
  }
  return true;
}

ClashAnswer ScriptedInteraction::AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) {
  events.push_back({Event::kClash, text, {}, {}});
  clashOffers.push_back(offered);
  return Pop(clashAnswers, ClashAnswer::kStop);
}

std::optional<int> ScriptedInteraction::AskNumber(const std::string& text, const std::string& caption,
                                                  int initial, int, int, const NumberCheck& check) {
  FileDialogRequest proposed;
  proposed.initialName = std::to_string(initial);
  events.push_back({Event::kNumber, text, caption, proposed});
  for (;;) {
    const std::optional<int> answer = Pop(numberAnswers, std::optional<int>());
    const std::string refused = answer && check ? check(*answer) : std::string();
    if (refused.empty()) return answer;
    events.push_back({Event::kMessage, refused, caption, {}});
  }
}

SaveChangesAnswer ScriptedInteraction::AskSaveChanges(const std::string& text, const std::string& caption) {
  events.push_back({Event::kSaveChanges, text, caption, {}});
  return Pop(saveChangesAnswers, SaveChangesAnswer::kCancel);
}

bool ScriptedInteraction::ReportProgress(int done, int total) {
  progress.emplace_back(done, total);
  return !progressAnswer || progressAnswer(done, total);
}

std::vector<std::string> ScriptedInteraction::Messages() const {
  std::vector<std::string> out;
  for (const Event& e : events)
    if (e.kind == Event::kMessage) out.push_back(Utf8FromGbk(e.text));
  return out;
}

std::vector<std::string> ScriptedInteraction::Captions() const {
  std::vector<std::string> out;
  for (const Event& e : events)
    if (e.kind == Event::kMessage) out.push_back(Utf8FromGbk(e.caption));
  return out;
}

std::size_t ScriptedInteraction::Count(Event::Kind kind) const {
  return static_cast<std::size_t>(
      std::count_if(events.begin(), events.end(), [&](const Event& e) { return e.kind == kind; }));
}

}  // namespace vx::fixtures
