#pragma once

#include "support/TestSupport.h"

#include "shell/NumEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <functional>

namespace vpx::test {

// A number box that counts beeps instead of sounding them.
class CountingNumEdit : public TNumEdit {
public:
    using TNumEdit::TNumEdit;
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};

// Shows a window and makes it the active one, so focus moves send focus events.
inline bool ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// Gives `w` the focus the way a click would and waits until it has it.
inline bool FocusOn(QWidget* w)
{
    w->setFocus(Qt::MouseFocusReason);
    return WaitUntil([w] { return w->hasFocus(); });
}

} // namespace vpx::test
