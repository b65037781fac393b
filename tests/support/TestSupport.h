#pragma once

// What many tests need: waiting for a condition while the GUI thread's events
// keep flowing, and a settings folder of a test's own.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace vpx::test {

// True as soon as the condition holds; false when the deadline passes first.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Points the settings (the registry stand-in) at a folder of its own for the
// length of a test, and back afterwards.
class TempConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_saved); }
    // The file that holds "Software\Norveth\VPX".
    QString IniFile() const { return m_dir.filePath(QStringLiteral("Norveth/VPX.ini")); }

    QTemporaryDir m_dir;
    QByteArray m_saved;
};

} // namespace vpx::test
