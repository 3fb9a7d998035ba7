#pragma once
#include <string>
#include <string_view>

namespace vx {

// Makes a song title fit for a file name: drops the single-byte characters [ \ / : * ? < > | ] + ", and
// the control characters 0x00 to 0x1F, and keeps everything else in order, so a name is the same and
// valid on every platform. Works on GBK characters, not bytes, so a double-byte character whose second
// byte happens to equal one of those values is kept whole. The result never names another folder.
std::string MakeFileNameSafe(std::string_view gbkText);

}  // namespace vx
