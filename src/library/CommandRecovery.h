#pragma once

// The library that was not saved when the program was ended from outside (a
// log-out, `kill`): written to the user's state folder then, offered at the next
// start. The tree goes to "recovery.vpx" in the command file format; the file it
// stands for and what that file held unseen go to "recovery.ini" beside it.

#include <QString>

namespace vpx {

class CommandDocument;
class UserPrompts;

// $XDG_STATE_HOME/vorpex, or ~/.local/state/vorpex when that is not set.
QString RecoveryFolder();

// Writes the document's tree and name into `folder`, creating it. False (with
// `error` set) when something could not be written; a recovery from before is
// then left as it was only if the tree file could not be replaced.
bool WriteRecovery(const CommandDocument& document, const QString& folder, QString* error = nullptr);

// At start-up: when `folder` holds a recovery, asks whether to restore it. Yes
// loads it into the document as changed and standing for its original file; either
// answer removes the recovery. A recovery that cannot be read is reported and kept.
// True when the document was replaced.
bool OfferRecovery(CommandDocument& document, UserPrompts& prompts, const QString& folder);

} // namespace vpx
