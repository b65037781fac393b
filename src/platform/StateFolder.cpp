#include "platform/StateFolder.h"

#include <QDir>

namespace vpx {

QString StateFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir(state).filePath(QStringLiteral("vorpex"));
}

} // namespace vpx
