#pragma once

// The library that was not saved when the program was ended from outside (a
// log-out, `kill`): written to the user's state folder then, offered at the next
// start. Each window's library takes a slot of its own: the tree goes to
// "recovery.vpx" (then "recovery-2.vpx", ...) in the command file format, and the
// file it stands for and what that file held unseen to the ".ini" of the same name.

#include <QString>

namespace vpx {

class CommandDocument;
class UserPrompts;

// The program's state folder.
QString RecoveryFolder();

// Writes the document's tree and name into a free slot of `folder`, creating it.
// False (with `error` set) when something could not be written; the slot is then
// left free, and recoveries from before are never touched.
bool WriteRecovery(const CommandDocument& document, const QString& folder, QString* error = nullptr);

// At start-up: when `folder` holds a recovery, asks whether to restore the first. Yes
// loads it into the document as changed and standing for its original file; either
// answer removes the recovery. A recovery that cannot be read is reported and kept.
// True when the document was replaced.
bool OfferRecovery(CommandDocument& document, UserPrompts& prompts, const QString& folder);

} // namespace vpx
