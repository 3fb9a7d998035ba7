#pragma once
// An Interaction for tests: records every message and question, answers from a script. Texts are GBK
// like everything crossing the interface; `Said()` gives them back in UTF-8 for readable assertions.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/interaction.h"
#include "core/io/file_io.h"
#include "core/text/gbk.h"

namespace vx::fixtures {

class ScriptedInteraction : public Interaction {
 public:
  struct Event {
    enum Kind {
      kMessage,
      kOkCancel,
      kSaveFile,
      kOpenFile,
      kFolder,
      kTrash,
      kClash,
      kNumber,
      kSaveChanges
    } kind;
    std::string text;     // message, question, prompt or path (GBK)
    std::string caption;  // GBK
    FileDialogRequest request;
  };

  // Scripts, consumed front first. An empty script answers Cancel / no file / no folder / kStop, so a
  // test that forgets an answer cannot write anything by accident.
  std::deque<bool> okCancelAnswers;
  std::deque<std::optional<std::string>> saveFileAnswers;  // GBK paths
  std::deque<std::optional<std::string>> openFileAnswers;
  std::deque<std::vector<std::string>> openFilesAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::deque<ClashAnswer> clashAnswers;
  std::deque<std::optional<int>> numberAnswers;
  std::deque<SaveChangesAnswer> saveChangesAnswers;  // an empty script answers kCancel
  // When true the files go as the trash takes them, all or none (they are deleted, so no test fills a
  // real trash); when false every file stays where it was.
  bool trashSucceeds = true;
  std::vector<std::vector<ClashAnswer>> clashOffers;  // what each clash question offered
  // Whether the person lets the work go on at a report (done, total); unset goes on. Every report is
  // kept in `progress`.
  std::function<bool(int done, int total)> progressAnswer;
  std::vector<std::pair<int, int>> progress;

  std::vector<Event> events;
  std::map<std::string, Bytes> trashed;  // what MoveToTrash took, by path

  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool AskOkCancel(const std::string& text, const std::string& caption) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  std::vector<std::string> ChooseOpenFiles(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& prompt) override;
  AllOrNone MoveToTrash(const std::vector<std::string>& gbkPaths) override;
  // Gives back what MoveToTrash took, from its own keeping.
  bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) override;
  ClashAnswer AskClash(const std::string& text, const std::vector<ClashAnswer>& offered) override;
  // Records the question, its caption and the proposed number (in `request.initialName`). An answer
  // `check` refuses is recorded as a message with the reason, and the next answer is taken, as the
  // window's question stays open.
  std::optional<int> AskNumber(const std::string& text, const std::string& caption, int initial, int min,
                               int max, const NumberCheck& check) override;
  SaveChangesAnswer AskSaveChanges(const std::string& text, const std::string& caption) override;
  bool ReportProgress(int done, int total) override;

  // The texts of all message boxes shown, in UTF-8, in order.
  std::vector<std::string> Messages() const;
  // The captions of all message boxes shown, in UTF-8.
  std::vector<std::string> Captions() const;
  std::size_t Count(Event::Kind kind) const;
};

}  // namespace vx::fixtures
