#include "library/CommandRecovery.h"

#include "library/CommandDocument.h"
#include "library/CommandFile.h"
#include "library/CommandFileCheck.h"
#include "platform/SafeFile.h"
#include "platform/StateFolder.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QCoreApplication>

#include <stdexcept>

namespace vpx {

namespace {

// Each window ended from outside keeps its library in a slot of its own: two
// windows closed by one log-out must not write over each other. The first slot
// keeps the names it always had.
constexpr int kSlots = 99;

QString SlotName(int slot, const char* extension)
{
    return slot == 1 ? QStringLiteral("recovery.%1").arg(QLatin1String(extension))
                     : QStringLiteral("recovery-%1.%2").arg(slot).arg(QLatin1String(extension));
}

QString TreeFile(const QString& folder, int slot)
{
    return QDir(folder).filePath(SlotName(slot, "vpx"));
}

QString InfoFile(const QString& folder, int slot)
{
    return QDir(folder).filePath(SlotName(slot, "ini"));
}

void RemoveRecovery(const QString& folder, int slot)
{
    QFile::remove(TreeFile(folder, slot));
    QFile::remove(InfoFile(folder, slot));
}

// The name file is written last: a slot whose name file names a file (or none,
// for an untitled library) holds a whole recovery.
bool Complete(const QString& folder, int slot)
{
    if (!QFileInfo::exists(TreeFile(folder, slot)))
        return false;
    const QSettings info(InfoFile(folder, slot), QSettings::IniFormat);
    return info.contains(QStringLiteral("File"));
}

} // namespace

QString RecoveryFolder()
{
    return StateFolder();
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
    // A slot is taken by creating its name file, which only one process can do;
    // a recovery already there, offered or not, is never written over.
    int slot = 0;
    for (int candidate = 1; candidate <= kSlots && slot == 0; ++candidate) {
        QFile claim(InfoFile(folder, candidate));
        if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            continue;
        claim.close();
        if (QFileInfo::exists(TreeFile(folder, candidate)))
            QFile::remove(InfoFile(folder, candidate));
        else
            slot = candidate;
    }
    if (slot == 0)
        return fail(QStringLiteral("no free recovery slot in %1").arg(folder));
    try {
        if (ReplaceFileContents(QFile::encodeName(TreeFile(folder, slot)).toStdString(),
                                FormatCommandFile(document.Tree()))
            != ReplaceStatus::Ok) {
            RemoveRecovery(folder, slot);
            return fail(QStringLiteral("cannot create %1").arg(TreeFile(folder, slot)));
        }
    } catch (const std::exception& e) {
        RemoveRecovery(folder, slot);
        return fail(QString::fromLocal8Bit(e.what()));
    }
    {
        QSettings info(InfoFile(folder, slot), QSettings::IniFormat);
        info.setValue(QStringLiteral("File"), document.FileName());
        info.setValue(QStringLiteral("LinesNotShown"), static_cast<qulonglong>(document.LinesNotShown()));
        info.setValue(QStringLiteral("FromUtf8"), document.ConvertedFromUtf8());
        info.sync();
        if (info.status() == QSettings::NoError)
            return true;
    }
    RemoveRecovery(folder, slot);
    return fail(QStringLiteral("cannot write %1").arg(InfoFile(folder, slot)));
}

bool OfferRecovery(CommandDocument& document, UserPrompts& prompts, const QString& folder)
{
    // One window holds one library: the first kept is offered now, the others at the next starts.
    int slot = 1;
    while (slot <= kSlots && !Complete(folder, slot))
        ++slot;
    if (slot > kSlots)
        return false;
    QSettings info(InfoFile(folder, slot), QSettings::IniFormat);
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
        RemoveRecovery(folder, slot);
        return false;
    }
    std::string bytes;
    const CommandFileStatus status = ReadFileBytes(QFile::encodeName(TreeFile(folder, slot)).toStdString(), bytes);
    if (status != CommandFileStatus::Ok) {
        prompts.Message(QCoreApplication::translate("CommandFile", CommandFileMessage(status)), QCoreApplication::translate("CommandRecovery", "エラー"),
                        static_cast<int>(PromptButton::Ok), PromptIcon::Error);
        return false;
    }
    ReadCommandText(bytes, document.Tree());
    document.Recovered(fileName, linesNotShown, fromUtf8);
    RemoveRecovery(folder, slot);
    return true;
}

} // namespace vpx
