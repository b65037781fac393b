#pragma once

// Keeps a label under a command edit showing what the edit's text will put on
// the wire (DescribePayload). Short texts are described at once; a long one
// waits until typing pauses, so a 30 KB command never slows a key press. A
// click on the position of an error selects the faulty token in the edit.

#include "library/PayloadPreview.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QTimer;

namespace vpx {

class TPreviewLine : public QObject {
    Q_OBJECT

public:
    struct Source {
        QLineEdit* Edit = nullptr;
        // The bytes to describe; ToAnsi of the edit's text when not given.
        std::function<AnsiString()> Text;
        std::function<bool()> TextMode;      // false when not given
        std::function<int()> ByteOrder;      // 1 big-endian; 0 when not given
    };

    // Follows the edit's text changes; Refresh() for anything else (mode, order).
    TPreviewLine(const Source& source, QLabel* label, QObject* parent = nullptr);

    // Texts of this many bytes or more are described after a pause in typing.
    static constexpr int DeferFrom = 4096;
    static constexpr int DeferMs = 150;

    void Refresh();
    // Describes now, whatever the length (a pending deferred description is dropped).
    void RefreshNow();
    // Selects the faulty token in the edit and gives it the focus; false when the
    // text compiles.
    bool ShowError();

    const PayloadPreview& Current() const noexcept { return m_current; }
    bool Pending() const;

private:
    Source m_source;
    QPointer<QLabel> m_label;
    QTimer* m_timer;
    PayloadPreview m_current;
};

} // namespace vpx
