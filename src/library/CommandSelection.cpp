#include "library/CommandSelection.h"

#include <QStringList>
#include <QCoreApplication>

namespace vpx {

SelectionActions ActionsForSelection(const CommandNode* node, bool directInputEmpty, bool findDone)
{
    SelectionActions a;
    a.send = !directInputEmpty;
    if (!node)
        return a;
    a.property = a.deleteNode = a.goFind = a.search = true;
    a.findPrev = a.findNext = findDone;
    const TCommandInfo* info = node->Info();
    if (!info) {
        a.addGroup = a.addCommand = true;
    } else if (!info->Command.empty()) {
        a.send = a.sendSelected = true;
        a.directInput = info->Command;
    }
    return a;
}

QString SelectionText(const CommandNode* node, std::string_view name)
{
    if (!node)
        return QCoreApplication::translate("CommandSelection", "選択されていません");
    if (const TCommandInfo* info = node->Info())
        return QCoreApplication::translate("CommandSelection", "選択されているｺﾏﾝﾄﾞ：") + FromAnsi(name) + QLatin1Char('(')
               + FromAnsi(info->Command) + QLatin1Char(')');
    QStringList path;
    for (const CommandNode* p = node->Parent(); p; p = p->Parent())
        path.prepend(FromAnsi(p->Name()));
    path.append(FromAnsi(name));
    return QCoreApplication::translate("CommandSelection", "選択されているｸﾞﾙｰﾌﾟ：") + path.join(QLatin1Char('\\'));
}

} // namespace vpx
