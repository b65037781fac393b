#pragma once

// The two command-line options: "/c file" loads a command file, "/a file" an
// auto-reply file, in the order given. A file named without an option, as a
// desktop passes a double-clicked file, loads by its extension: ".vpx" as with
// /c, ".vpa" as with /a. The first problem is reported and ends the processing;
// what was loaded before it stays loaded.
//
// Left alone without a word, as before files could be named bare: an argument
// beginning with "-" and the value after it (another program's option syntax,
// such as "-c file"), an option joined to its file name ("/cfile.vpx"), and any
// other argument that names no file.

#include <QString>
#include <QStringList>

#include <functional>

namespace vpx {

class UserPrompts;

struct CommandLineTargets {
    std::function<bool(const QString& path)> FileExists;
    // Each load returns success; a load may show its own message first.
    std::function<bool(const QString& path)> LoadCommandFile;
    std::function<bool(const QString& path)> LoadAutoReplyFile;
    // Called when an auto-reply load failed, before the message is shown.
    std::function<void()> AutoReplyLoadFailed;
};

// `arguments` are the program's arguments without the program itself.
void ProcessCommandLine(const QStringList& arguments, const CommandLineTargets& targets,
                        UserPrompts& prompts);

} // namespace vpx
