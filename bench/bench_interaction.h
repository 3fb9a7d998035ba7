#pragma once
// The Interaction the benchmarks run operations with: every question answered yes, every message
// dropped, the save chooser giving one file, and the trash either the desktop's own, as the window
// uses it, or one that takes nothing.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/interaction.h"
#include "core/io/file_move.h"

namespace vx::bench {

class BenchInteraction : public Interaction {
 public:
  enum class Trash { kNone, kDesktop };
  explicit BenchInteraction(std::string saveFile = {}, Trash trash = Trash::kNone)
      : m_saveFile(std::move(saveFile)), m_trash(trash) {}
  void ShowMessage(const std::string&, const std::string&) override {}
  bool AskOkCancel(const std::string&, const std::string&) override { return true; }
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest&) override {
    if (m_saveFile.empty()) return std::nullopt;
    return m_saveFile;
  }
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::vector<std::string> ChooseOpenFiles(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> ChooseFolder(const std::string&) override { return std::nullopt; }
  AllOrNone MoveToTrash(const std::vector<std::string>& paths) override {
    return m_trash == Trash::kDesktop ? MoveFilesToTrash(paths) : AllOrNone::kNone;
  }
  bool RestoreFromTrash(const std::vector<std::string>& paths) override {
    return m_trash == Trash::kDesktop && vx::RestoreFromTrash(paths);
  }
  ClashAnswer AskClash(const std::string&, const std::vector<ClashAnswer>&) override {
    return ClashAnswer::kSkip;
  }
  std::optional<int> AskNumber(const std::string&, const std::string&, int, int, int,
                               const NumberCheck&) override {
    return std::nullopt;
  }
  SaveChangesAnswer AskSaveChanges(const std::string&, const std::string&) override {
    return SaveChangesAnswer::kCancel;
  }

 private:
  std::string m_saveFile;
  Trash m_trash;
};

}  // namespace vx::bench
