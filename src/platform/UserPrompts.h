#pragma once

// Every message box, file dialog and modal dialog of the program goes through this
// interface, owned by the main window. The real one shows Qt dialogs; tests script a
// fake, which is how window logic is tested without a person at the keyboard.

#include <QString>
#include <QStringList>

#include <exception>
#include <optional>

class QDialog;
class QWidget;

namespace vpx {

enum class PromptIcon { None, Information, Warning, Error, Question };

// Which buttons a box offers, and which one the user pressed.
enum class PromptButton { None = 0, Ok = 1, Cancel = 2, Yes = 4, No = 8 };
using PromptButtons = int; // PromptButton values or'ed together

struct FileDialogRequest {
    QString title;
    QStringList filters;   // "コマンドファイル (*.vpx)" and so on, in order
    int filterIndex = 0;   // the filter shown first
    QString defaultSuffix; // added when the user types a name without one
    QString directory;
    QString fileName;      // proposed name
    // When given, receives the index of the filter in force when the user accepted.
    int* chosenFilter = nullptr;
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    virtual PromptButton Message(const QString& text, const QString& caption, PromptButtons buttons,
                                 PromptIcon icon) = 0;
    // A box whose `defaultButton` is the one Enter presses: "いいえ" for a question
    // whose "はい" cannot be undone. Without an override the box's own default.
    virtual PromptButton Ask(const QString& text, const QString& caption, PromptButtons buttons, PromptIcon icon,
                             PromptButton defaultButton)
    {
        (void)defaultButton;
        return Message(text, caption, buttons, icon);
    }
    virtual std::optional<QString> OpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFileName(const FileDialogRequest& request) = 0;
    // Runs a modal dialog; returns QDialog::Accepted or QDialog::Rejected.
    virtual int Exec(QDialog& dialog) = 0;
    virtual void Beep() = 0;

    // The application's standard display of an exception: its message in a box
    // titled with the application's title, with the error icon.
    void ShowException(const std::exception& e);
};

// The real prompts, parented to the main window.
class QtUserPrompts : public UserPrompts {
public:
    explicit QtUserPrompts(QWidget* parent) : m_parent(parent) {}
    PromptButton Message(const QString& text, const QString& caption, PromptButtons buttons,
                         PromptIcon icon) override;
    PromptButton Ask(const QString& text, const QString& caption, PromptButtons buttons, PromptIcon icon,
                     PromptButton defaultButton) override;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
    int Exec(QDialog& dialog) override;
    void Beep() override;

private:
    QWidget* m_parent;
};

// Wraps an action or event handler so that no exception ever reaches Qt's event
// loop: whatever escapes is shown through the prompts' standard display.
template <class F>
auto guarded(UserPrompts& prompts, F handler)
{
    return [&prompts, handler = std::move(handler)](auto&&... args) {
        try {
            handler(std::forward<decltype(args)>(args)...);
        } catch (const std::exception& e) {
            prompts.ShowException(e);
        }
    };
}

} // namespace vpx
