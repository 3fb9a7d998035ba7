#pragma once
// Pieces every operation shares. Internal to core/operations.

#include <string>
#include <string_view>
#include <vector>

#include "interaction.h"
#include "messages.h"
#include "text/gbk.h"

namespace vx::detail {

// A message box with the program's caption; `utf8` is one of the texts of messages.h.
inline void Say(Interaction& ui, std::string_view utf8) { ui.ShowMessage(Gbk(utf8), Gbk(msg::kAppTitle)); }

// A fixed text followed by GBK details (paths), one per line. A box must fit on the screen, so a long
// list shows its first lines and the total.
inline void SayWithLines(Interaction& ui, std::string_view utf8Lead, const std::vector<std::string>& gbkLines) {
  constexpr std::size_t kMaxLines = 20;
  std::string text = Gbk(utf8Lead);
  for (std::size_t i = 0; i < gbkLines.size() && i < kMaxLines; ++i) text += "\n" + gbkLines[i];
  if (gbkLines.size() > kMaxLines)
    text += "\n" + Gbk(msg::kListTotalBefore) + std::to_string(gbkLines.size()) + Gbk(msg::kListTotalAfter);
  ui.ShowMessage(text, Gbk(msg::kAppTitle));
}

}  // namespace vx::detail
