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

// A fixed text followed by GBK details (paths, titles), one per line.
inline void SayWithLines(Interaction& ui, std::string_view utf8Lead, const std::vector<std::string>& gbkLines) {
  std::string text = Gbk(utf8Lead);
  for (const std::string& line : gbkLines) text += "\n" + line;
  ui.ShowMessage(text, Gbk(msg::kAppTitle));
}

}  // namespace vx::detail
