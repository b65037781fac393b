#pragma once

// The current user's registry, kept in ini files: the key "Software\Org\App" is the
// file Org/App.ini in the user's config folder ($XDG_CONFIG_HOME, default
// ~/.config, read at every use so that tests can point it elsewhere). Values
// directly in the key live in [General]; sub-keys are groups; every value is a
// string.

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace vpx {

// The ini file that holds a key path such as "Software\Norveth\VPX\Option", and
// the group inside it ("Option"; empty for the key itself).
struct RegistryLocation {
    QString filePath;
    QString group;
};
RegistryLocation LocateRegistryKey(const QString& keyPath);

// One open key read and written like an ini file: sections are its sub-keys.
// Changes reach the file when the object is destroyed or UpdateFile is called.
class TRegistryIniFile {
public:
    explicit TRegistryIniFile(const QString& keyPath);
    ~TRegistryIniFile();
    TRegistryIniFile(const TRegistryIniFile&) = delete;
    TRegistryIniFile& operator=(const TRegistryIniFile&) = delete;

    // A value that is missing or not stored as a string reads as the default.
    QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) const;
    void WriteString(const QString& section, const QString& ident, const QString& value);
    // A value that is not a whole decimal number reads as the default.
    int ReadInteger(const QString& section, const QString& ident, int defaultValue) const;
    void WriteInteger(const QString& section, const QString& ident, int value);
    bool ReadBool(const QString& section, const QString& ident, bool defaultValue) const;
    void WriteBool(const QString& section, const QString& ident, bool value);

    bool ValueExists(const QString& section, const QString& ident) const;
    bool SectionExists(const QString& section) const;
    QStringList ReadSection(const QString& section) const; // the value names
    QStringList ReadSections() const;                      // the sub-keys
    void DeleteKey(const QString& section, const QString& ident);
    void EraseSection(const QString& section);
    void UpdateFile();

private:
    QString Key(const QString& section, const QString& ident) const;

    RegistryLocation m_location;
    std::unique_ptr<QSettings> m_settings;
};

// Deletes a key with its sub-keys; deleting a top key removes its file.
void DeleteRegistryKey(const QString& keyPath);

} // namespace vpx
