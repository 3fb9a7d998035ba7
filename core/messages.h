#pragma once
// Every text the core says to a person, in one place. Written in UTF-8 here; Gbk() turns one into the
// GBK bytes that cross the Interaction.

#include <string_view>

namespace vx::msg {

inline constexpr std::string_view kAppTitle = "VX歌曲整理器";
// The archive browser's export messages have always carried this caption.
inline constexpr std::string_view kArchiveTitle = "WX歌曲整理器";

inline constexpr std::string_view kCheckFolders = "请检查目录设置";
inline constexpr std::string_view kFolderTooLong = "目录太长(超过255字节),无法保存:";

}  // namespace vx::msg
