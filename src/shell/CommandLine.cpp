#include "shell/CommandLine.h"

#include "platform/UserPrompts.h"
#include <QCoreApplication>

namespace vpx {

void ProcessCommandLine(const QStringList& arguments, const CommandLineTargets& targets,
                        UserPrompts& prompts)
{
    const auto fail = [&](const QString& text) {
        prompts.Message(text, QCoreApplication::translate("CommandLine", "コマンドラインオプションエラー"),
                        static_cast<int>(PromptButton::Ok), PromptIcon::Error);
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments.at(i);
        const bool command = option == QLatin1String("/c") || option == QLatin1String("/C");
        const bool autoReply = option == QLatin1String("/a") || option == QLatin1String("/A");
        if (!command && !autoReply)
            continue;
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
