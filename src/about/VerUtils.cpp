#include "about/VerUtils.h"

#include "VpxVersion.h"

namespace vpx {

VersionInfo VersionInfo::Current()
{
    return {QString::fromUtf8(VPX_PRODUCT_NAME), QString::fromUtf8(VPX_FILE_VERSION),
            QString::fromUtf8(VPX_LEGAL_COPYRIGHT), QString::fromUtf8(VPX_CONTACT)};
}

} // namespace vpx
