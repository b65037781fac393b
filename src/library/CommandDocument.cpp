#include "library/CommandDocument.h"

#include "library/CommandFile.h"

#include <QFile>
#include <QFileInfo>

namespace vpx {

namespace {

const QString& CommandFileFilter()
{
    static const QString filter = QStringLiteral("ｺﾏﾝﾄﾞﾌｧｲﾙ(*.vpx)");
    return filter;
}

FileDialogRequest CommandFileRequest(const QString& title, const QString& current)
{
    FileDialogRequest r;
    r.title = title;
    r.filters = QStringList{CommandFileFilter()};
    r.filterIndex = 0;
    r.defaultSuffix = QStringLiteral("vpx");
    r.fileName = current;
    if (!current.isEmpty())
        r.directory = QFileInfo(current).absolutePath();
    return r;
}

std::string NativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

// Busy cursor on for the scope, off again however it is left.
class CommandDocument::BusyScope {
public:
    explicit BusyScope(const CommandDocument& doc) : m_doc(doc)
    {
        if (m_doc.OnBusy)
            m_doc.OnBusy(true);
    }
    ~BusyScope()
    {
        if (m_doc.OnBusy)
            m_doc.OnBusy(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    const CommandDocument& m_doc;
};

void CommandDocument::SetModified(bool value)
{
    m_modified = value;
    if (OnChanged)
        OnChanged();
}

QString CommandDocument::Caption() const
{
    const QString name = m_fileName.isEmpty() ? QStringLiteral("無題") : QFileInfo(m_fileName).fileName();
    const QString mark = m_modified ? QStringLiteral("(変更)") : QString();
    return QStringLiteral("Vorpex - %1 %2").arg(name, mark);
}

bool CommandDocument::LoadCommandFile(const QString& path)
{
    CommandFileStatus status;
    {
        BusyScope busy(*this);
        status = vpx::LoadCommandFile(NativePath(path), m_tree);
    }
    if (status == CommandFileStatus::Ok)
        return true;
    m_prompts.Message(QString::fromUtf8(CommandFileMessage(status)), QStringLiteral("エラー"),
                      static_cast<int>(PromptButton::Ok), PromptIcon::Error);
    return false;
}

bool CommandDocument::SaveCommandFile(const QString& path)
{
    CommandFileStatus status;
    {
        BusyScope busy(*this);
        status = vpx::SaveCommandFile(NativePath(path), m_tree);
    }
    if (status == CommandFileStatus::Ok)
        return true;
    m_prompts.Message(QString::fromUtf8(CommandFileMessage(status)), QStringLiteral("エラー"),
                      static_cast<int>(PromptButton::Ok), PromptIcon::Error);
    return false;
}

bool CommandDocument::QuerySaveChanges()
{
    if (!m_modified)
        return true;
    const PromptButton answer = m_prompts.Message(
        QStringLiteral("コマンドデータが変更されています。\r\n保存しますか？"), QStringLiteral("Vorpex"),
        static_cast<int>(PromptButton::Yes) | static_cast<int>(PromptButton::No)
            | static_cast<int>(PromptButton::Cancel),
        PromptIcon::Question);
    switch (answer) {
    case PromptButton::Yes: return SaveCommandFileAs();
    case PromptButton::No: return true;
    default: return false;
    }
}

bool CommandDocument::SaveCommandFileAs()
{
    const std::optional<QString> chosen = m_prompts.SaveFileName(CommandFileRequest(QString(), m_fileName));
    if (!chosen || chosen->isEmpty())
        return false;
    if (!SaveCommandFile(*chosen))
        return false;
    m_fileName = *chosen;
    SetModified(false);
    return true;
}

void CommandDocument::ActionNew()
{
    if (!QuerySaveChanges())
        return;
    m_tree.Clear();
    m_fileName.clear();
    SetModified(false);
}

void CommandDocument::ActionOpen()
{
    if (!QuerySaveChanges())
        return;
    const std::optional<QString> chosen =
        m_prompts.OpenFileName(CommandFileRequest(QStringLiteral("コマンドファイルの選択"), m_fileName));
    if (!chosen || chosen->isEmpty())
        return;
    if (!LoadCommandFile(*chosen))
        return;
    m_fileName = *chosen;
    SetModified(false);
}

void CommandDocument::ActionSave()
{
    if (!SaveEnabled())
        return;
    if (SaveCommandFile(m_fileName))
        SetModified(false);
}

bool CommandDocument::OpenFromCommandLine(const QString& path)
{
    if (!LoadCommandFile(path))
        return false;
    m_fileName = path;
    SetModified(false);
    return true;
}

} // namespace vpx
