// Where the trace file goes: beside the program when it may write there, else in
// the user's state folder.

#include "transport/DebugLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <ostream>

namespace vpx {
namespace {

// Sets or clears an environment variable for one test, restoring it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray* value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

enum class Program { Writable, Missing, ReadOnly, None, System, HomeLocalBin };
enum class State { Absolute, Unset, Relative };

struct PathCase {
    const char* name;
    Program program;
    State state;
    bool besideProgram;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.name;
}

class TraceFilePathChoice : public ::testing::TestWithParam<PathCase> {};

TEST_P(TraceFilePathChoice, BesideTheProgramOrInTheStateFolder)
{
    const PathCase& c = GetParam();
    if (c.program == Program::ReadOnly && ::geteuid() == 0)
        GTEST_SKIP() << "root writes through the mode bits";
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QDir(root.path()).mkpath(QStringLiteral("bin"));
    QString program = root.filePath(QStringLiteral("bin")) + QLatin1Char('/');
    if (c.program == Program::Missing)
        program = root.filePath(QStringLiteral("gone")) + QLatin1Char('/');
    if (c.program == Program::None)
        program.clear();
    if (c.program == Program::System)
        program = QStringLiteral("/usr/bin/"); // root may write there; an installed program must not
    if (c.program == Program::HomeLocalBin) {
        program = root.filePath(QStringLiteral("home/.local/bin")) + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(program));
    }
    if (c.program == Program::ReadOnly) {
        ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    }

    const QByteArray home = root.filePath(QStringLiteral("home")).toUtf8();
    const QByteArray absolute = root.filePath(QStringLiteral("state")).toUtf8();
    const QByteArray relative = "state";
    const ScopedEnv homeEnv("HOME", &home);
    const ScopedEnv stateEnv("XDG_STATE_HOME", c.state == State::Absolute   ? &absolute
                                               : c.state == State::Relative ? &relative
                                                                            : nullptr);
    const QString path = TraceFilePath(program, QStringLiteral("Command.log"));
    QString expected = program + QStringLiteral("Command.log");
    if (!c.besideProgram)
        expected = QString::fromUtf8(c.state == State::Absolute ? absolute : home + "/.local/state") +
                   QStringLiteral("/vorpex/Command.log");
    EXPECT_EQ(path, expected);
    EXPECT_TRUE(QFileInfo(QFileInfo(path).path()).isDir()); // ready to be written
    EXPECT_FALSE(QFile::exists(path));                      // but nothing written yet

    if (c.program == Program::ReadOnly)
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

INSTANTIATE_TEST_SUITE_P(
    Trace, TraceFilePathChoice,
    ::testing::Values(PathCase{"WritableProgramFolder", Program::Writable, State::Absolute, true},
                      PathCase{"MissingProgramFolder", Program::Missing, State::Absolute, false},
                      PathCase{"ReadOnlyProgramFolder", Program::ReadOnly, State::Absolute, false},
                      PathCase{"NoProgramFolder", Program::None, State::Absolute, false},
                      PathCase{"InstalledUnderUsr", Program::System, State::Absolute, false},
                      PathCase{"InstalledInHomeLocalBin", Program::HomeLocalBin, State::Absolute, false},
                      PathCase{"StateHomeUnset", Program::Missing, State::Unset, false},
                      PathCase{"StateHomeRelativeIsIgnored", Program::Missing, State::Relative, false}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vpx
