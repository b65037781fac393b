#pragma once

// The command library as a document: the current file, the modified flag, the
// caption, the save prompt and the file commands New, Open, Save and Save As.
// Every box and file dialog goes through UserPrompts; the main window applies
// Caption() and SaveEnabled() when OnChanged fires and shows the busy cursor
// through OnBusy.

#include "library/CommandTree.h"
#include "platform/UserPrompts.h"

#include <QString>

#include <functional>

namespace vpx {

class CommandDocument {
public:
    explicit CommandDocument(UserPrompts& prompts) : m_prompts(prompts) {}

    CommandTree& Tree() noexcept { return m_tree; }
    const CommandTree& Tree() const noexcept { return m_tree; }

    // The current command file path; empty for none.
    const QString& FileName() const noexcept { return m_fileName; }
    bool Modified() const noexcept { return m_modified; }

    // Stores the flag, then OnChanged (caption and Save's enabled state follow).
    void SetModified(bool value);
    // "Vorpex - <file name or 無題> <(変更) or nothing>".
    QString Caption() const;
    // ActionSave: only with a change and a current path.
    bool SaveEnabled() const noexcept { return m_modified && !m_fileName.isEmpty(); }

    // The tree from a file, with the error box on failure (the tree is then empty).
    // Leaves the path and the flag alone.
    bool LoadCommandFile(const QString& path);
    // The tree to a file, with the error box on failure. Leaves the path and the flag
    // alone. A write error after creation throws (for the application's error box).
    bool SaveCommandFile(const QString& path);

    // The save prompt before New, Open and close; true means go on.
    bool QuerySaveChanges();
    bool SaveCommandFileAs();

    void ActionNew();
    void ActionOpen();
    void ActionSave();
    void ActionSaveAs() { SaveCommandFileAs(); }
    // The "/c" option: on success the file becomes current and unmodified.
    bool OpenFromCommandLine(const QString& path);
    // FormCloseQuery: whether the window may close.
    bool CanClose() { return QuerySaveChanges(); }

    std::function<void()> OnChanged;
    std::function<void(bool busy)> OnBusy;

private:
    class BusyScope;

    UserPrompts& m_prompts;
    CommandTree m_tree;
    QString m_fileName;
    bool m_modified = false;
};

} // namespace vpx
