#pragma once

// Hints are written "short|long": the short part is the tool tip, the long part
// goes to the status bar. Without a bar both parts are the whole text.

#include <QAction>
#include <QString>

namespace vpx {

inline QString ShortHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

inline QString LongHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

inline void SetActionHint(QAction& action, const QString& hint)
{
    action.setToolTip(ShortHint(hint));
    action.setStatusTip(LongHint(hint));
}

} // namespace vpx
