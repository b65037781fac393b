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
    // Switching the trace on (from off) allows one failure box again.
    void SetWriteLog(bool value) noexcept;

    const QString& LogName() const noexcept { return m_logName; }
    // Another file: its first failure is reported too.
    void SetLogName(const QString& value);

    TLogType LogType() const noexcept { return m_logType; }
    void SetLogType(TLogType value) noexcept { m_logType = value; }

    // Appends "hh:mm:ss " + the Size bytes at Data + CR LF to LogName. An
    // input/output failure loses the line and is reported through OnLogError, the
    // first one only until the trace is switched on again or pointed at another
    // file: a trace that cannot be written would otherwise raise one box per
    // datagram. WriteLog is left as it is, so the next line tries again.
    virtual void OutputLog(const std::uint8_t* Data, std::int32_t Size);

    // Shows the failure box; the window connects it to its prompts. Called with
    // the box's text and title.
    std::function<void(const QString& text, const QString& caption)> OnLogError;

    static QString LogErrorText();    // "デバッグログ作成失敗"
    static QString LogErrorCaption(); // "エラー"
    // The box's text: LogErrorText(), then the file and the system's reason on
    // lines of their own.
    static QString LogErrorMessage(const QString& fileName, const QString& reason);

private:
    bool m_writeLog = false;
    bool m_failureShown = false; // since the trace was last switched on
    QString m_logName = QStringLiteral("Debug.log");
    TLogType m_logType = ltHexList;
};

// Where the trace file `fileName` goes: in `programFolder` (ending in a slash)
// when the program may write there, as it may where it was built or unpacked;
// otherwise, and always for an installed program, in the user's state folder
// ($XDG_STATE_HOME/vorpex/, by default ~/.local/state/vorpex/), which is created
// when missing.
QString TraceFilePath(const QString& programFolder, const QString& fileName);
// Whether a program in this folder (ending in a slash) is an installed one: under
// a system prefix (/usr, /opt, ...) or in ~/.local/bin.
bool IsInstalledProgramFolder(const QString& programFolder);

// The 9-byte time stamp of a trace line for the given local time of day.
QByteArray TraceTimeStamp(int hour, int minute, int second);

} // namespace vpx
