#pragma once

// A scripted stand-in for the user at the keyboard: every box, file dialog and
// modal dialog is recorded, and answered from queues the test fills beforehand.

#include "platform/UserPrompts.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <vector>

namespace vpx::test {

class FakePrompts : public UserPrompts {
public:
    struct Shown {
        QString text;
        QString caption;
        PromptButtons buttons;
        PromptIcon icon;
        PromptButton defaultButton = PromptButton::None; // for Ask
    };

    std::vector<Shown> messages;
    std::deque<PromptButton> answers; // next answers; Ok (or the first offered) when empty
    std::vector<FileDialogRequest> fileRequests;
    std::deque<std::optional<QString>> fileAnswers; // nullopt = the user cancelled
    std::deque<int> filterAnswers;                  // the filter chosen; the one proposed when empty
    // Runs while a file dialog is open, as the real one's event loop would.
    std::function<void()> whileFileDialogOpen;
    std::vector<QString> dialogsShown;               // object names of the dialogs run
    // Drives a modal dialog as the user would; its result is what Exec returns.
    std::deque<std::function<int(QDialog&)>> dialogScripts;
    int beeps = 0;

    PromptButton Message(const QString& text, const QString& caption, PromptButtons buttons,
                         PromptIcon icon) override
    {
        messages.push_back({text, caption, buttons, icon});
        if (!answers.empty()) {
            const PromptButton a = answers.front();
            answers.pop_front();
            return a;
        }
        return PromptButton::Ok;
    }
    PromptButton Ask(const QString& text, const QString& caption, PromptButtons buttons, PromptIcon icon,
                     PromptButton defaultButton) override
    {
        const PromptButton a = Message(text, caption, buttons, icon);
        messages.back().defaultButton = defaultButton;
        return a;
    }
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override
    {
        return NextFile(request);
    }
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override
    {
        return NextFile(request);
    }
    int Exec(QDialog& dialog) override
    {
        dialogsShown.push_back(dialog.objectName());
        if (dialogScripts.empty())
            return QDialog::Rejected;
        auto script = std::move(dialogScripts.front());
        dialogScripts.pop_front();
        return script(dialog);
    }
    void Beep() override { ++beeps; }

private:
    std::optional<QString> NextFile(const FileDialogRequest& request)
    {
        fileRequests.push_back(request);
        if (whileFileDialogOpen)
            whileFileDialogOpen();
        if (request.chosenFilter) {
            *request.chosenFilter = filterAnswers.empty() ? request.filterIndex : filterAnswers.front();
            if (!filterAnswers.empty())
                filterAnswers.pop_front();
        }
        if (fileAnswers.empty())
            return std::nullopt;
        auto a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
};

} // namespace vpx::test
