#include "transport/DebugLog.h"

#include <QByteArray>
#include <QFile>
#include <QTime>

#include <cstdio>

namespace vpx {

QString TCustomDebugLog::LogErrorText()
{
    return QStringLiteral("デバッグログ作成失敗");
}

QString TCustomDebugLog::LogErrorCaption()
{
    return QStringLiteral("エラー");
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
    if (ok) {
        ok = file.write(line) == line.size();
        ok = file.flush() && ok;
        file.close();
        ok = ok && file.error() == QFileDevice::NoError;
    }
    if (!ok && OnLogError)
        OnLogError(LogErrorText(), LogErrorCaption());
}

} // namespace vpx
