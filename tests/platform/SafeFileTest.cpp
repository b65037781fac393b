#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>

#include <sys/resource.h>
#include <sys/stat.h>

namespace vpx {
namespace {

std::string Read(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll().toStdString();
}

class SafeFileTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)).toStdString(); }
    QStringList Entries() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }
    QTemporaryDir m_dir;
};

TEST_F(SafeFileTest, CreatesAndReplacesKeepingThePermissions)
{
    const std::string path = Path("a.vpx");
    ASSERT_EQ(ReplaceFileContents(path, "first\r\n"), ReplaceStatus::Ok);
    EXPECT_EQ(Read(QString::fromStdString(path)), "first\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(ReplaceFileContents(path, std::string("second\0\r\n", 9)), ReplaceStatus::Ok);
    EXPECT_EQ(Read(QString::fromStdString(path)), std::string("second\0\r\n", 9));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("a.vpx")}); // nothing left beside it
}

TEST_F(SafeFileTest, AFolderThatIsNotThereCannotBeCreated)
{
    EXPECT_EQ(ReplaceFileContents(Path("missing/a.vpx"), "x"), ReplaceStatus::CannotCreate);
    EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(SafeFileTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole)
{
    const std::string path = Path("a.vpx");
    ASSERT_EQ(ReplaceFileContents(path, "the user's work"), ReplaceStatus::Ok);
    // A file-size limit makes the write fail after the first bytes, as a full disk would.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(ReplaceFileContents(path, std::string(1000, 'n')), std::runtime_error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(Read(QString::fromStdString(path)), "the user's work");
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("a.vpx")});
}

TEST_F(SafeFileTest, ADeviceIsWrittenInPlace)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_THROW(ReplaceFileContents("/dev/full", "x"), std::runtime_error);
    EXPECT_EQ(ReplaceFileContents("/dev/null", "x"), ReplaceStatus::Ok);
}

} // namespace
} // namespace vpx
