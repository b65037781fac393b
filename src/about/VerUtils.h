#pragma once

// The program's own version resource: product name, file version and developer
// line, taken from the build. Tests make their own to pretend the version changed.

#include <QString>

namespace vpx {

struct VersionInfo {
    QString ProductName;    // "ProductName"
    QString FileVersion;    // "FileVersion": the text kept in the settings at exit
    QString LegalCopyright; // "LegalCopyright": the developer line
    QString Contact;        // the maker's contact line of the About box

    // The version this build was made as.
    static VersionInfo Current();
};

} // namespace vpx
