#include "platform/EngineText.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <optional>

namespace vpx {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

std::optional<QString> Lookup(const char* context, const QString& text)
{
    const QByteArray source = text.toUtf8();
    const QString found = QCoreApplication::translate(context, source.constData());
    if (found == text)
        return std::nullopt;
    return found;
}

QString ShownLine(const QString& line, bool endedByLineBreak, const char* context)
{
    if (line.isEmpty())
        return line;
    if (endedByLineBreak) {
        if (auto t = Lookup(context, line + kLineEnd))
            return t->endsWith(kLineEnd) ? t->chopped(kLineEnd.size()) : *t;
    }
    if (auto t = Lookup(context, line))
        return *t;
    static const QRegularExpression number(QStringLiteral("-?[0-9]+"));
    const QRegularExpressionMatch m = number.match(line);
    if (m.hasMatch()) {
        QString pattern = line;
        pattern.replace(m.capturedStart(), m.capturedLength(), QStringLiteral("%d"));
        if (auto t = Lookup(context, pattern))
            return t->replace(QStringLiteral("%d"), m.captured());
    }
    return line;
}

} // namespace

QString ShownEngineMessage(const QString& message, const char* context)
{
    const QStringList lines = message.split(kLineEnd);
    QStringList shown;
    for (qsizetype i = 0; i < lines.size(); ++i)
        shown << ShownLine(lines.at(i), i + 1 < lines.size(), context);
    return shown.join(kLineEnd);
}

} // namespace vpx
