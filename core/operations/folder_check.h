#pragma once
// The question a command asks before it asks the person anything else: is there a MUSIC folder to work
// in? A chooser opened first would let the person pick songs for a library that is not there.

#include "core/operations/operation.h"

namespace vx {

// True when the settings file (or the context) names a MUSIC folder that exists. Otherwise the person is
// told "请检查目录设置" (nothing is said when the settings file cannot be opened, as every command ends).
bool MusicFolderReady(OperationContext& ctx);

}  // namespace vx
