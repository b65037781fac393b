#include "transport/DebugLog.h"

#include "platform/StateFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTime>
#include <QCoreApplication>

#include <unistd.h>

#include <cstdio>

namespace vpx {

QString TCustomDebugLog::LogErrorText()
{
    return QCoreApplication::translate("DebugLog", "デバッグログ作成失敗");
}

QString TCustomDebugLog::LogErrorCaption()
{
    return QCoreApplication::translate("DebugLog", "エラー");
}

QString TCustomDebugLog::LogErrorMessage(const QString& fileName, const QString& reason)
{
    return LogErrorText() + QLatin1Char('\n') + QDir::toNativeSeparators(fileName) + QLatin1Char('\n') + reason;
}

void TCustomDebugLog::SetWriteLog(bool value) noexcept
{
    if (value && !m_writeLog)
        m_failureShown = false;
    m_writeLog = value;
}

void TCustomDebugLog::SetLogName(const QString& value)
{
    if (value != m_logName)
        m_failureShown = false;
    m_logName = value;
}

bool IsInstalledProgramFolder(const QString& programFolder)
{
    static const char* const systemFolders[] = {"/usr/", "/bin/", "/sbin/", "/opt/", "/snap/", "/app/"};
    for (const char* folder : systemFolders)
        if (programFolder.startsWith(QLatin1String(folder)))
            return true;
    return programFolder == QDir::homePath() + QStringLiteral("/.local/bin/");
}

QString TraceFilePath(const QString& programFolder, const QString& fileName)
{
    // access() rather than the mode bits: it also knows read-only mounts. An
    // installed program's folder is never the place, even where root may write.
    const QByteArray folder = QFile::encodeName(programFolder);
    if (!programFolder.isEmpty() && !IsInstalledProgramFolder(programFolder) &&
        ::access(folder.constData(), W_OK | X_OK) == 0)
        return programFolder + fileName;
    const QString own = StateFolder() + QLatin1Char('/');
    // A folder that cannot be made shows itself when the first line fails.
    QDir().mkpath(own);
    return own + fileName;
}

QByteArray TraceTimeStamp(int hour, int minute, int second)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d ", hour, minute, second);
    return QByteArray(text, 9);
}

void TCustomDebugLog::OutputLog(const std::uint8_t* Data, std::int32_t Size)
{
    const QTime now = QTime::currentTime();
    QByteArray line = TraceTimeStamp(now.hour(), now.minute(), now.second());
    if (Data != nullptr && Size > 0)
        line.append(reinterpret_cast<const char*>(Data), Size);
    line.append("\r\n", 2);

    // Append mode creates a missing file and never truncates an existing one.
    QFile file(m_logName);
    // Unbuffered: the line goes out in one write, without a copy into QFile's buffer.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    QString reason = file.errorString();
    if (ok) {
        ok = file.write(line) == line.size();
        ok = file.flush() && ok;
        if (!ok)
            reason = file.errorString();
        file.close();
        if (ok && file.error() != QFileDevice::NoError) {
            ok = false;
            reason = file.errorString();
        }
    }
    if (ok || m_failureShown)
        return;
    m_failureShown = true;
    if (OnLogError)
        OnLogError(LogErrorMessage(m_logName, reason), LogErrorCaption());
}

} // namespace vpx
