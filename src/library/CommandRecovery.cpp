#include "library/CommandRecovery.h"

#include "library/CommandDocument.h"
#include "library/CommandFile.h"
#include "library/CommandFileCheck.h"
#include "platform/SafeFile.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QCoreApplication>

#include <stdexcept>

namespace vpx {

namespace {

QString TreeFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("recovery.vpx"));
}

QString InfoFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("recovery.ini"));
}

void RemoveRecovery(const QString& folder)
{
    QFile::remove(TreeFile(folder));
    QFile::remove(InfoFile(folder));
}

} // namespace

QString RecoveryFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir(state).filePath(QStringLiteral("vorpex"));
}

bool WriteRecovery(const CommandDocument& document, const QString& folder, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create %1").arg(folder));
    // The name first: a tree file beside a name of another run would restore under
    // the wrong name.
    {
        QSettings info(InfoFile(folder), QSettings::IniFormat);
        info.clear();
        info.setValue(QStringLiteral("File"), document.FileName());
        info.setValue(QStringLiteral("LinesNotShown"), static_cast<qulonglong>(document.LinesNotShown()));
        info.setValue(QStringLiteral("FromUtf8"), document.ConvertedFromUtf8());
        info.sync();
        if (info.status() != QSettings::NoError)
            return fail(QStringLiteral("cannot write %1").arg(InfoFile(folder)));
    }
    try {
        if (ReplaceFileContents(QFile::encodeName(TreeFile(folder)).toStdString(),
                                FormatCommandFile(document.Tree()))
            != ReplaceStatus::Ok)
            return fail(QStringLiteral("cannot create %1").arg(TreeFile(folder)));
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
    return true;
}

bool OfferRecovery(CommandDocument& document, UserPrompts& prompts, const QString& folder)
{
    if (!QFileInfo::exists(TreeFile(folder)))
        return false;
    QSettings info(InfoFile(folder), QSettings::IniFormat);
    const QString fileName = info.value(QStringLiteral("File")).toString();
    const std::size_t linesNotShown = info.value(QStringLiteral("LinesNotShown")).toULongLong();
    const bool fromUtf8 = info.value(QStringLiteral("FromUtf8")).toBool();
    const QString shownName = fileName.isEmpty() ? QCoreApplication::translate("CommandRecovery", "無題") : QFileInfo(fileName).fileName();
    const PromptButton answer = prompts.Ask(
        QCoreApplication::translate("CommandRecovery", "前回の終了時に保存されていなかったコマンドデータ「%1」があります。\r\n"
                       "復元しますか？\r\n（「いいえ」を選ぶと、このデータは破棄されます）")
            .arg(shownName),
        QStringLiteral("Vorpex"), static_cast<int>(PromptButton::Yes) | static_cast<int>(PromptButton::No),
        PromptIcon::Question, PromptButton::Yes);
    if (answer != PromptButton::Yes) {
        RemoveRecovery(folder);
        return false;
    }
    std::string bytes;
    const CommandFileStatus status = ReadFileBytes(QFile::encodeName(TreeFile(folder)).toStdString(), bytes);
    if (status != CommandFileStatus::Ok) {
        prompts.Message(QCoreApplication::translate("CommandFile", CommandFileMessage(status)), QCoreApplication::translate("CommandRecovery", "エラー"),
                        static_cast<int>(PromptButton::Ok), PromptIcon::Error);
        return false;
    }
    ReadCommandText(bytes, document.Tree());
    document.Recovered(fileName, linesNotShown, fromUtf8);
    RemoveRecovery(folder);
    return true;
}

} // namespace vpx
