#include "platform/UserPrompts.h"

#include "platform/EngineText.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace vpx {

void UserPrompts::ShowException(const std::exception& e)
{
    Message(ShownEngineMessage(QString::fromUtf8(e.what()), "UDPErrs"), QStringLiteral("Vorpex"), static_cast<int>(PromptButton::Ok),
            PromptIcon::Error);
}

PromptButton QtUserPrompts::Message(const QString& text, const QString& caption, PromptButtons buttons,
                                    PromptIcon icon)
{
    return Ask(text, caption, buttons, icon, PromptButton::None);
}

PromptButton QtUserPrompts::Ask(const QString& text, const QString& caption, PromptButtons buttons,
                                PromptIcon icon, PromptButton defaultButton)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    const struct {
        PromptButton ours;
        QMessageBox::StandardButton qt;
    } map[] = {{PromptButton::Yes, QMessageBox::Yes},
               {PromptButton::No, QMessageBox::No},
               {PromptButton::Ok, QMessageBox::Ok},
               {PromptButton::Cancel, QMessageBox::Cancel}};
    QMessageBox::StandardButtons qtButtons;
    for (const auto& m : map)
        if (buttons & static_cast<int>(m.ours))
            qtButtons |= m.qt;
    box.setStandardButtons(qtButtons ? qtButtons : QMessageBox::StandardButtons(QMessageBox::Ok));
    for (const auto& m : map)
        if (m.ours == defaultButton && (buttons & static_cast<int>(m.ours)))
            box.setDefaultButton(m.qt);
    const int pressed = box.exec();
    for (const auto& m : map)
        if (pressed == m.qt)
            return m.ours;
    return PromptButton::Cancel; // closed with the window's close button
}

namespace {

// "txt" of "テキスト (*.txt)"; empty when the filter names no single extension.
QString FilterSuffix(const QString& filter)
{
    static const QRegularExpression single(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)\\)$"));
    const QRegularExpressionMatch m = single.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex));
    if (!request.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultSuffix);
        // A name typed without an extension gets the chosen filter's, not always the
        // first one's: "log" under "CSV (*.csv)" is "log.csv".
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            const QString suffix = FilterSuffix(filter);
            if (!suffix.isEmpty())
                dialog.setDefaultSuffix(suffix);
        });
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    if (request.chosenFilter)
        *request.chosenFilter = static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> QtUserPrompts::OpenFileName(const FileDialogRequest& request)
{
    return RunFileDialog(m_parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtUserPrompts::SaveFileName(const FileDialogRequest& request)
{
    return RunFileDialog(m_parent, request, QFileDialog::AcceptSave);
}

int QtUserPrompts::Exec(QDialog& dialog)
{
    return dialog.exec();
}

void QtUserPrompts::Beep()
{
    QApplication::beep();
}

} // namespace vpx
