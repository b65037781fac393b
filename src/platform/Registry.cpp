#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <cstdlib>

namespace vpx {

namespace {

QString ConfigHome()
{
    // Read at every use rather than through QStandardPaths, which caches nothing
    // but QSettings' own user-scope path is fixed at its first use.
    const QString xdg = QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"));
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

RegistryLocation LocateRegistryKey(const QString& keyPath)
{
    QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(QStringLiteral("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    RegistryLocation loc;
    QString file;
    if (parts.isEmpty()) {
        file = QStringLiteral("Unknown Organization");
    } else {
        file = parts.takeFirst();
        if (!parts.isEmpty())
            file += QLatin1Char('/') + parts.takeFirst();
    }
    loc.filePath = ConfigHome() + QLatin1Char('/') + file + QStringLiteral(".ini");
    loc.group = parts.join(QLatin1Char('/'));
    return loc;
}

TRegistryIniFile::TRegistryIniFile(const QString& keyPath)
    : m_location(LocateRegistryKey(keyPath)),
      m_settings(std::make_unique<QSettings>(m_location.filePath, QSettings::IniFormat))
{
}

TRegistryIniFile::~TRegistryIniFile() = default;

QString TRegistryIniFile::Key(const QString& section, const QString& ident) const
{
    QString key = m_location.group;
    if (!section.isEmpty())
        key += (key.isEmpty() ? QString() : QStringLiteral("/")) + section;
    // Values directly in the key are root-level keys, which QSettings keeps in [General].
    if (key.isEmpty())
        return ident;
    return key + QLatin1Char('/') + ident;
}

QString TRegistryIniFile::ReadString(const QString& section, const QString& ident,
                                     const QString& defaultValue) const
{
    const QVariant v = m_settings->value(Key(section, ident));
    // Only strings are ours: a value stored with another type (an "@Variant(...)" or
    // "@ByteArray(...)" written by some other program) reads as missing.
    const int type = v.metaType().id();
    if (!v.isValid() || (type != QMetaType::QString && type != QMetaType::QStringList))
        return defaultValue;
    // A hand-edited value with commas reads back as a list; keep it as the text it was.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

void TRegistryIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    m_settings->setValue(Key(section, ident), value);
}

int TRegistryIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) const
{
    const QString text = ReadString(section, ident, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

void TRegistryIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, QString::number(value));
}

bool TRegistryIniFile::ReadBool(const QString& section, const QString& ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegistryIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TRegistryIniFile::ValueExists(const QString& section, const QString& ident) const
{
    return m_settings->contains(Key(section, ident));
}

bool TRegistryIniFile::SectionExists(const QString& section) const
{
    return ReadSections().contains(section);
}

QStringList TRegistryIniFile::ReadSection(const QString& section) const
{
    QString group = Key(section, QString());
    group.chop(1); // the trailing '/'
    m_settings->beginGroup(group);
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    return keys;
}

QStringList TRegistryIniFile::ReadSections() const
{
    if (!m_location.group.isEmpty())
        m_settings->beginGroup(m_location.group);
    QStringList groups = m_settings->childGroups();
    if (!m_location.group.isEmpty())
        m_settings->endGroup();
    else
        groups.removeAll(QStringLiteral("General"));
    return groups;
}

void TRegistryIniFile::DeleteKey(const QString& section, const QString& ident)
{
    m_settings->remove(Key(section, ident));
}

void TRegistryIniFile::EraseSection(const QString& section)
{
    QString group = Key(section, QString());
    group.chop(1); // the trailing '/'
    if (group.isEmpty()) {
        // The key's own values, not its sub-keys.
        for (const QString& k : m_settings->childKeys())
            m_settings->remove(k);
        return;
    }
    m_settings->remove(group);
}

void TRegistryIniFile::UpdateFile()
{
    m_settings->sync();
}

void DeleteRegistryKey(const QString& keyPath)
{
    const RegistryLocation loc = LocateRegistryKey(keyPath);
    if (loc.group.isEmpty()) {
        QFile::remove(loc.filePath);
        return;
    }
    QSettings settings(loc.filePath, QSettings::IniFormat);
    settings.remove(loc.group);
}

} // namespace vpx
