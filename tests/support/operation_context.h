#pragma once
// Tests build an operation's context in the call itself: `OnTextList(InCall({table, {}, ui})).outcome`.
// The context lives until the end of the full expression, as long as the operation runs.

#include "core/operations/operation.h"

namespace vx::fixtures {

inline OperationContext& InCall(OperationContext&& ctx) {
  return ctx;
}

}  // namespace vx::fixtures
