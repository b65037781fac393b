#pragma once

// The command library as a document: the current file, the modified flag, the
// caption, the save prompt and the file commands New, Open, Save and Save As.
// Every box and file dialog goes through UserPrompts; the main window applies
// Caption() and SaveEnabled() when OnChanged fires and shows the busy cursor
// through OnBusy.

#include "library/CommandTree.h"
#include "platform/UserPrompts.h"

#include <QString>

#include <cstddef>
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
    // What the current file holds that the tree does not show as it stands (lines
    // not read, characters not kept); Save asks before writing over such a file.
    std::size_t LinesNotShown() const noexcept { return m_linesNotShown; }
    // The current file was UTF-8 and is held converted; Save writes code page 932.
    bool ConvertedFromUtf8() const noexcept { return m_fromUtf8; }

    // Stores the flag, then OnChanged (caption and Save's enabled state follow).
    void SetModified(bool value);
    // "Vorpex - <file name or 無題> <(変更) or nothing>".
    QString Caption() const;
    // ActionSave: only with a change and a current path.
    bool SaveEnabled() const noexcept { return m_modified && !m_fileName.isEmpty(); }

    // The tree from a file, with the error box on failure (the tree is then empty).
    // A UTF-8 file is read converted when the user agrees; what the tree cannot
    // show is counted and told through OnStatus. Leaves the path and the flag alone.
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
    // A library restored after the program was ended from outside: it stands for
    // `fileName` (empty for none) with the changes not saved, so Save writes it back.
    // The tree is filled by the caller; what the file held unseen is kept as it was.
    void Recovered(const QString& fileName, std::size_t linesNotShown, bool fromUtf8);
    // FormCloseQuery: whether the window may close.
    bool CanClose() { return QuerySaveChanges(); }

    std::function<void()> OnChanged;
    std::function<void(bool busy)> OnBusy;
    // A one-line report for the status bar (empty clears it).
    std::function<void(const QString& text)> OnStatus;

private:
    class BusyScope;

    // Whether Save may write over the current file, asking when it holds what the
    // tree does not show.
    bool ConfirmOverwrite();

    UserPrompts& m_prompts;
    CommandTree m_tree;
    QString m_fileName;
    bool m_modified = false;
    std::size_t m_linesNotShown = 0;
    bool m_fromUtf8 = false;
};

} // namespace vpx
