#include "library/CommandDocument.h"

#include "library/CommandFile.h"
#include "library/CommandFileCheck.h"
#include "platform/Utf8Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>

#include <optional>

namespace vpx {

namespace {

QString CommandFileFilter()
{
    return QCoreApplication::translate("CommandDocument", "ｺﾏﾝﾄﾞﾌｧｲﾙ(*.vpx)");
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

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo first(a), second(b);
    const QString canonical = first.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

PromptButtons YesNo()
{
    return static_cast<int>(PromptButton::Yes) | static_cast<int>(PromptButton::No);
}

QString OverwriteQuestion(std::size_t linesNotShown, bool fromUtf8)
{
    QStringList lines;
    if (fromUtf8)
        lines << QCoreApplication::translate("CommandDocument", "このファイルは UTF-8 から変換して読み込みました。\r\n"
                                "上書きすると、シフトJIS で保存されます。");
    if (linesNotShown > 0)
        lines << QCoreApplication::translate("CommandDocument", "このファイルには読み込めなかった行が %1 行あります。\r\n"
                                "上書きすると、それらの行は失われます。")
                     .arg(linesNotShown);
    lines << QCoreApplication::translate("CommandDocument", "上書き保存しますか？");
    return lines.join(QStringLiteral("\r\n"));
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
    const QString name = m_fileName.isEmpty() ? QCoreApplication::translate("CommandDocument", "無題") : QFileInfo(m_fileName).fileName();
    const QString mark = m_modified ? QCoreApplication::translate("CommandDocument", "(変更)") : QString();
    return QStringLiteral("Vorpex - %1 %2").arg(name, mark);
}

bool CommandDocument::LoadCommandFile(const QString& path)
{
    std::optional<BusyScope> busy(std::in_place, *this);
    m_tree.Clear();
    std::string bytes;
    if (const CommandFileStatus status = ReadFileBytes(NativePath(path), bytes); status != CommandFileStatus::Ok) {
        busy.reset();
        m_prompts.Message(QCoreApplication::translate("CommandFile", CommandFileMessage(status)), QCoreApplication::translate("CommandDocument", "エラー"),
                          static_cast<int>(PromptButton::Ok), PromptIcon::Error);
        return false;
    }
    std::vector<std::size_t> missing;
    bool fromUtf8 = false;
    if (LooksLikeUtf8(bytes)) {
        busy.reset(); // no hourglass over a question
        fromUtf8 = m_prompts.Ask(QCoreApplication::translate("CommandDocument", "このファイルは UTF-8 で書かれているようです。\r\n"
                                                "UTF-8 として読み込みますか？"),
                                 QStringLiteral("Vorpex"), YesNo(), PromptIcon::Question, PromptButton::Yes)
            == PromptButton::Yes;
        busy.emplace(*this);
        if (fromUtf8) {
            Utf8Conversion converted = ConvertUtf8ToCp932(bytes);
            bytes = std::move(converted.bytes);
            missing = std::move(converted.missing);
        }
    }
    m_linesNotShown = ReadCommandText(bytes, m_tree, missing);
    m_fromUtf8 = fromUtf8;
    busy.reset();
    if (OnStatus)
        OnStatus(m_linesNotShown > 0 ? QCoreApplication::translate("CommandDocument", "%1 行を読み込めませんでした").arg(m_linesNotShown)
                                     : QString());
    return true;
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
    m_prompts.Message(QCoreApplication::translate("CommandFile", CommandFileMessage(status)), QCoreApplication::translate("CommandDocument", "エラー"),
                      static_cast<int>(PromptButton::Ok), PromptIcon::Error);
    return false;
}

bool CommandDocument::ConfirmOverwrite()
{
    if (m_linesNotShown == 0 && !m_fromUtf8)
        return true;
    return m_prompts.Ask(OverwriteQuestion(m_linesNotShown, m_fromUtf8), QStringLiteral("Vorpex"), YesNo(),
                         PromptIcon::Warning, PromptButton::No)
        == PromptButton::Yes;
}

bool CommandDocument::QuerySaveChanges()
{
    if (!m_modified)
        return true;
    const PromptButton answer = m_prompts.Message(
        QCoreApplication::translate("CommandDocument", "コマンドデータが変更されています。\r\n保存しますか？"), QStringLiteral("Vorpex"),
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
    // Writing over the file the tree came from loses what it held unseen, whichever
    // command does it: Save As with the proposed name, or the save before closing.
    if (SameFile(*chosen, m_fileName) && !ConfirmOverwrite())
        return false;
    if (!SaveCommandFile(*chosen))
        return false;
    m_fileName = *chosen;
    m_linesNotShown = 0;
    m_fromUtf8 = false;
    SetModified(false);
    return true;
}

void CommandDocument::ActionNew()
{
    if (!QuerySaveChanges())
        return;
    m_tree.Clear();
    m_fileName.clear();
    m_linesNotShown = 0;
    m_fromUtf8 = false;
    SetModified(false);
}

void CommandDocument::ActionOpen()
{
    if (!QuerySaveChanges())
        return;
    const std::optional<QString> chosen =
        m_prompts.OpenFileName(CommandFileRequest(QCoreApplication::translate("CommandDocument", "コマンドファイルの選択"), m_fileName));
    if (!chosen || chosen->isEmpty())
        return;
    if (!LoadCommandFile(*chosen))
        return;
    m_fileName = *chosen;
    SetModified(false);
}

void CommandDocument::ActionSave()
{
    if (!SaveEnabled() || !ConfirmOverwrite())
        return;
    if (SaveCommandFile(m_fileName)) {
        m_linesNotShown = 0;
        m_fromUtf8 = false;
        SetModified(false);
    }
}

void CommandDocument::Recovered(const QString& fileName, std::size_t linesNotShown, bool fromUtf8)
{
    m_fileName = fileName;
    m_linesNotShown = linesNotShown;
    m_fromUtf8 = fromUtf8;
    SetModified(true);
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
