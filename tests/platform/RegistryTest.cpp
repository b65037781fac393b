#include "platform/Registry.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vpx {
namespace {

class RegistryTest : public test::TempConfigTest {
protected:
    QString File() const { return IniFile(); }
};

const QString kKey = QStringLiteral("Software\\Norveth\\VPX");

TEST_F(RegistryTest, KeyPathsMapToFileAndGroup)
{
    EXPECT_EQ(LocateRegistryKey(kKey).filePath, File());
    EXPECT_EQ(LocateRegistryKey(kKey).group, QString());
    EXPECT_EQ(LocateRegistryKey(kKey + QStringLiteral("\\Option\\Sub")).group, QStringLiteral("Option/Sub"));
}

TEST_F(RegistryTest, ValuesRoundTripAsStrings)
{
    {
        TRegistryIniFile ini(kKey);
        ini.WriteString(QStringLiteral("Option"), QStringLiteral("Name"), QStringLiteral("日本語, with comma"));
        ini.WriteInteger(QStringLiteral("Option"), QStringLiteral("Port"), 5000);
        ini.WriteBool(QString(), QStringLiteral("Flag"), true);
    }
    ASSERT_TRUE(QFile::exists(File()));
    TRegistryIniFile ini(kKey);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("Name"), QString()),
              QStringLiteral("日本語, with comma"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Option"), QStringLiteral("Port"), 0), 5000);
    EXPECT_TRUE(ini.ReadBool(QString(), QStringLiteral("Flag"), false));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Option"), QStringLiteral("Name"), -7), -7); // not a number
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("Missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(ini.ReadSections(), QStringList{QStringLiteral("Option")});
    EXPECT_EQ(ini.ReadSection(QStringLiteral("Option")), (QStringList{QStringLiteral("Name"), QStringLiteral("Port")}));

    QFile f(File());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[General]"));
    EXPECT_TRUE(text.contains("[Option]"));
    EXPECT_TRUE(text.contains("Port=5000"));
}

TEST_F(RegistryTest, DeletingKeysAndSections)
{
    {
        TRegistryIniFile ini(kKey);
        ini.WriteString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1"));
        ini.WriteString(QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("2"));
    }
    DeleteRegistryKey(kKey + QStringLiteral("\\A"));
    {
        TRegistryIniFile ini(kKey);
        EXPECT_FALSE(ini.SectionExists(QStringLiteral("A")));
        EXPECT_TRUE(ini.ValueExists(QStringLiteral("B"), QStringLiteral("y")));
    }
    DeleteRegistryKey(kKey);
    EXPECT_FALSE(QFile::exists(File()));
}

} // namespace
} // namespace vpx
