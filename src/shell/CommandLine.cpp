#include "shell/CommandLine.h"

#include "platform/UserPrompts.h"
#include <QCoreApplication>

namespace vpx {

namespace {

enum class FileKind { Other, Command, AutoReply };

FileKind KindByExtension(const QString& path)
{
    if (path.endsWith(QLatin1String(".vpx"), Qt::CaseInsensitive))
        return FileKind::Command;
    if (path.endsWith(QLatin1String(".vpa"), Qt::CaseInsensitive))
        return FileKind::AutoReply;
    return FileKind::Other;
}

bool IsOption(const QString& argument)
{
    static const QStringList options = {QStringLiteral("/c"), QStringLiteral("/C"), QStringLiteral("/a"),
                                        QStringLiteral("/A")};
    return options.contains(argument);
}

// "/cname.vpx": an option run together with a plain file name.
bool IsJoinedOption(const QString& argument)
{
    return argument.size() > 2 && IsOption(argument.left(2)) && !argument.mid(2).contains(QLatin1Char('/'));
}

} // namespace

namespace {

// Returns false when the path was a problem, already reported.
bool ProcessBarePath(const QString& path, const CommandLineTargets& targets,
                     const std::function<void(const QString&)>& fail)
{
    const FileKind kind = KindByExtension(path);
    if (!targets.FileExists(path)) {
        if (kind == FileKind::Other || IsJoinedOption(path))
            return true;
        fail(QCoreApplication::translate("CommandLine", "ファイル\r\n\"%1\"\r\nが存在しません").arg(path));
        return false;
    }
    if (kind == FileKind::Other) {
        fail(QCoreApplication::translate(
                 "CommandLine",
                 "ファイル\r\n\"%1\"\r\nはコマンドファイル(*.vpx)でも自動返信ファイル(*.vpa)でもありません")
                 .arg(path));
        return false;
    }
    const bool loaded =
        kind == FileKind::Command ? targets.LoadCommandFile(path) : targets.LoadAutoReplyFile(path);
    if (!loaded) {
        if (kind == FileKind::AutoReply && targets.AutoReplyLoadFailed)
            targets.AutoReplyLoadFailed();
        fail(QCoreApplication::translate("CommandLine", "ファイル\r\n\"%1\"\r\nを読み込み中にエラーが発生しました")
                 .arg(path));
        return false;
    }
    return true;
}

} // namespace

void ProcessCommandLine(const QStringList& arguments, const CommandLineTargets& targets,
                        UserPrompts& prompts)
{
    const std::function<void(const QString&)> fail = [&](const QString& text) {
        prompts.Message(text, QCoreApplication::translate("CommandLine", "コマンドラインオプションエラー"),
                        static_cast<int>(PromptButton::Ok), PromptIcon::Error);
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments.at(i);
        const bool command = option == QLatin1String("/c") || option == QLatin1String("/C");
        const bool autoReply = option == QLatin1String("/a") || option == QLatin1String("/A");
        if (option.startsWith(QLatin1Char('-'))) {
            if (i + 1 < arguments.size() && !IsOption(arguments.at(i + 1)))
                ++i;
            continue;
        }
        if (!command && !autoReply) {
            if (!ProcessBarePath(option, targets, fail))
                return;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            fail(QCoreApplication::translate("CommandLine", "%1 オプションの後にファイル名が指定されていません").arg(option));
            return;
        }
        const QString& file = arguments.at(++i);
        if (!targets.FileExists(file)) {
            fail(QCoreApplication::translate("CommandLine", "%1 オプションで指定されたファイル\r\n\"%2\"\r\nが存在しません").arg(option, file));
            return;
        }
        const bool loaded = command ? targets.LoadCommandFile(file) : targets.LoadAutoReplyFile(file);
        if (!loaded) {
            if (autoReply && targets.AutoReplyLoadFailed)
                targets.AutoReplyLoadFailed();
            fail(QCoreApplication::translate("CommandLine", "%1 オプションで指定されたファイル\r\n\"%2\"\r\nを読み込み中にエラーが発生しました")
                     .arg(option, file));
            return;
        }
    }
}

} // namespace vpx
