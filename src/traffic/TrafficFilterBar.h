#pragma once

// The filter row above the traffic log: direction, address and port, comment
// text and a byte pattern in the auto-reply table's notation, with the count
// of shown records against all. A pattern that does not compile marks its
// field and says where, in the row itself: typing goes on undisturbed.

#include "traffic/TrafficFilter.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace vpx {

class TTrafficFilterBar : public QWidget {
    Q_OBJECT

public:
    explicit TTrafficFilterBar(QWidget* parent = nullptr);

    // What the fields ask for, as the filter takes it.
    TrafficFilterCriteria Criteria() const;

    // Marks the pattern field and names the character (from 1) where it fails;
    // nothing clears the mark.
    void ShowPatternError(std::optional<std::size_t> position);
    bool PatternMarked() const noexcept { return m_patternMarked; }
    // Whether the port field is empty or holds a port 0..65535. Anything else is
    // marked in the row as it is typed, and the filter in force stays.
    bool PortValid() const;
    // "shown / total".
    void ShowCount(int shown, int total);

    QComboBox* Direction() const noexcept { return m_direction; }
    QLineEdit* Address() const noexcept { return m_address; }
    QLineEdit* Port() const noexcept { return m_port; }
    QLineEdit* Comment() const noexcept { return m_comment; }
    QLineEdit* Pattern() const noexcept { return m_pattern; }
    QLabel* ErrorLabel() const noexcept { return m_error; }
    QLabel* CountLabel() const noexcept { return m_count; }

signals:
    // A field changed.
    void CriteriaEdited();

private:
    void ShowErrors();

    QComboBox* m_direction;
    QLineEdit* m_address;
    QLineEdit* m_port;
    QLineEdit* m_comment;
    QLineEdit* m_pattern;
    QLabel* m_error;
    QLabel* m_count;
    QPalette m_patternPalette;
    QPalette m_portPalette;
    bool m_patternMarked = false;
    QString m_patternError;
};

} // namespace vpx
