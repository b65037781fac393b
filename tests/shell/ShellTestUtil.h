#pragma once

#include "support/TestSupport.h"

#include "shell/IPEdit.h"
#include "shell/Main.h"
#include "shell/NumEdit.h"

#include <QApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <functional>
#include <string>

namespace vpx::test {

// "新しいｸﾞﾙｰﾌﾟ" in code page 932, the name a new root group gets, as its file line.
inline const std::string kNewGroupLine = "0 \x90\x56\x82\xb5\x82\xa2\xb8\xde\xd9\xb0\xcc\xdf\r\n";

// A file's bytes, or "<none>" when it cannot be read.
inline std::string ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<none>");
}

inline void WriteAll(const QString& path, const std::string& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

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
// Types 127.0.0.1 and the port into the tool bar's peer boxes, key by key as a user does.
inline void TypeLoopbackPeer(TfrmSimMain& window, int port)
{
    const QStringList parts = {QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")};
    for (int i = 0; i < 4; ++i) {
        window.ipedtAddress->Field(i)->clear();
        QTest::keyClicks(window.ipedtAddress->Field(i), parts[i]);
    }
    window.nedtPort->clear();
    QTest::keyClicks(window.nedtPort, QString::number(port));
}

inline bool FocusOn(QWidget* w)
{
    w->setFocus(Qt::MouseFocusReason);
    return WaitUntil([w] { return w->hasFocus(); });
}

} // namespace vpx::test
