#pragma once
// How an operation on the ticked rows ended. The person has already been told through the Interaction
// whatever the operation says; callers use this to update the window or to choose vxtool's exit code.

namespace vx {

enum class Outcome {
  kNoSettings,     // the settings file could not be opened: ended without a word
  kNoFolder,       // a folder it needs is not set: "请检查目录设置"
  kEmptyTable,     // the table has no rows
  kNothingTicked,  // no ticked row (or, for the import, not exactly one)
  kCancelled,      // the person cancelled a dialog or a question; nothing was written (an install
                   // cancelled through its progress keeps the songs it placed, each whole)
  kRefused,        // an input was refused with a message; nothing was written
  kFailed,         // some or all of the work could not be done; a message said which, except for a picked
                   // file that cannot be read, which ends silently as unopenable files always have
  kBusy,           // another program is changing this folder; nothing was changed
  kDone,
};

}  // namespace vx
