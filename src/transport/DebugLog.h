#pragma once

// The trace file behind the UDP endpoint: one time-stamped line per call of
// OutputLog, appended with open-write-close so that others may read, move or
// delete the file between two lines.

#include <QString>

#include <cstdint>
#include <functional>

namespace vpx {

// How payload bytes are rendered in trace lines.
enum TLogType : std::int32_t { ltHexList = 0, ltAscii = 1 };

class TCustomDebugLog {
public:
    TCustomDebugLog() = default;
    virtual ~TCustomDebugLog() = default;
    TCustomDebugLog(const TCustomDebugLog&) = delete;
    TCustomDebugLog& operator=(const TCustomDebugLog&) = delete;

    bool WriteLog() const noexcept { return m_writeLog; }
    void SetWriteLog(bool value) noexcept { m_writeLog = value; }

    const QString& LogName() const noexcept { return m_logName; }
    void SetLogName(const QString& value) { m_logName = value; }

    TLogType LogType() const noexcept { return m_logType; }
    void SetLogType(TLogType value) noexcept { m_logType = value; }

    // Appends "hh:mm:ss " + the Size bytes at Data + CR LF to LogName. An
    // input/output failure loses the line and is reported through OnLogError
    // (once per failed line); WriteLog is left as it is, so the next line tries again.
    virtual void OutputLog(const std::uint8_t* Data, std::int32_t Size);

    // Shows the failure box; the window connects it to its prompts. Called with
    // the box's text and title.
    std::function<void(const QString& text, const QString& caption)> OnLogError;

    static QString LogErrorText();    // "デバッグログ作成失敗"
    static QString LogErrorCaption(); // "エラー"

private:
    bool m_writeLog = false;
    QString m_logName = QStringLiteral("Debug.log");
    TLogType m_logType = ltHexList;
};

// The 9-byte time stamp of a trace line for the given local time of day.
QByteArray TraceTimeStamp(int hour, int minute, int second);

} // namespace vpx
