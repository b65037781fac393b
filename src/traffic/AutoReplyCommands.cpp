#include "traffic/AutoReplyCommands.h"

#include "platform/UserPrompts.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QCoreApplication>

namespace vpx {

namespace {

QString TitleText()
{
    return QCoreApplication::translate("AutoReplyCommands", "自動返信ﾃﾞｰﾀ");
}

// While a message box is up the pointer is the ordinary arrow, whatever the
// caller's long operation set; its own cursor comes back afterwards.
class ArrowCursor {
public:
    ArrowCursor() : m_active(QGuiApplication::overrideCursor() != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    ~ArrowCursor()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;

private:
    bool m_active;
};

} // namespace

TAutoReplyCommands::TAutoReplyCommands(UserPrompts& prompts, const Controls& controls, QObject* parent)
    : QObject(parent), m_prompts(prompts), m_controls(controls), m_model(m_table), m_view(controls.lvReturnDatas)
{
    m_controls.ActionAutoReturn->setCheckable(true);
    m_controls.ActionAutoReturn->setChecked(false);
    m_controls.ActionAutoReturn->setEnabled(false);
    m_controls.ActionAutoReturnReload->setEnabled(false);
    m_controls.pnlAutoReturnTitle->setText(TitleText());

    QTreeView* view = m_controls.lvReturnDatas;
    view->setModel(&m_model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(false);
    QHeaderView* header = view->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(TAutoReplyModel::ColType, QHeaderView::Interactive);
    header->resizeSection(TAutoReplyModel::ColType, 55);
    for (int c = TAutoReplyModel::ColCompare; c < TAutoReplyModel::ColumnCount; ++c)
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);

    connect(m_controls.ActionAutoReturnOpen, &QAction::triggered, this,
            guarded(m_prompts, [this](bool) { ActionAutoReturnOpenExecute(); }));
    connect(m_controls.ActionAutoReturnReload, &QAction::triggered, this,
            guarded(m_prompts, [this](bool) { ActionAutoReturnReloadExecute(); }));
}

TAutoReplyCommands::~TAutoReplyCommands()
{
    // The view may outlive us; it must not keep a model that is going.
    if (m_view && m_view->model() == &m_model)
        m_view->setModel(nullptr);
}

void TAutoReplyCommands::ClearAutoReplyRows()
{
    TAutoReplyModel::Update update(m_model);
    m_table.Clear();
}

void TAutoReplyCommands::SetAutoReply(bool on)
{
    m_controls.ActionAutoReturn->setChecked(on);
}

bool TAutoReplyCommands::IsAutoReplyOn() const
{
    return m_controls.ActionAutoReturn->isChecked();
}

bool TAutoReplyCommands::LoadAutoReplyFile(const QString& fileName)
{
    SetAutoReply(false);
    ClearAutoReplyRows();

    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        const ArrowCursor arrow;
        m_prompts.Message(QCoreApplication::translate("AutoReplyCommands", "自動返信ファイルのオープンに失敗しました"), QCoreApplication::translate("AutoReplyCommands", "エラー"),
                          static_cast<PromptButtons>(PromptButton::Ok), PromptIcon::Error);
        return false;
    }
    const QByteArray contents = file.readAll();
    file.close();

    {
        TAutoReplyModel::Update update(m_model);
        for (const std::string_view line : SplitLineViews(std::string_view(contents.constData(), contents.size())))
            m_table.ParseAutoReplyLine(line);
    }

    if (!m_table.Empty()) {
        m_controls.ActionAutoReturn->setEnabled(true);
    } else {
        {
            const ArrowCursor arrow;
            m_prompts.Message(QCoreApplication::translate("AutoReplyCommands", "有効なデータがありませんでした"), QCoreApplication::translate("AutoReplyCommands", "自動返信データ"),
                              static_cast<PromptButtons>(PromptButton::Ok), PromptIcon::Information);
        }
        m_controls.ActionAutoReturn->setEnabled(false);
    }
    return true;
}

void TAutoReplyCommands::ActionAutoReturnExecute()
{
    SetAutoReply(!IsAutoReplyOn());
}

void TAutoReplyCommands::ActionAutoReturnOpenExecute()
{
    FileDialogRequest request;
    request.title = QCoreApplication::translate("AutoReplyCommands", "自動返信ファイルの選択");
    request.filters = {QCoreApplication::translate("AutoReplyCommands", "自動返信ﾌｧｲﾙ(*.vpa)")};
    request.filterIndex = 0;
    request.defaultSuffix = QStringLiteral("vpa");
    if (!m_fileName.isEmpty()) {
        const QFileInfo current(m_fileName);
        request.directory = current.absolutePath();
        request.fileName = current.fileName();
    }
    const std::optional<QString> chosen = m_prompts.OpenFileName(request);
    if (!chosen)
        return;
    m_fileName = *chosen;
    if (LoadAutoReplyFile(m_fileName))
        Loaded(m_fileName);
    else
        NotLoaded();
}

void TAutoReplyCommands::ActionAutoReturnReloadExecute()
{
    const QFileInfo info(m_fileName);
    if (m_fileName.isEmpty() || !info.exists() || !info.isFile()) {
        m_prompts.Message(QCoreApplication::translate("AutoReplyCommands", "リロード対象の自動返信ファイルが見つかりません"), QCoreApplication::translate("AutoReplyCommands", "エラー"),
                          static_cast<PromptButtons>(PromptButton::Ok), PromptIcon::Error);
        return;
    }
    const bool wasOn = IsAutoReplyOn();
    if (LoadAutoReplyFile(m_fileName)) {
        Loaded(m_fileName);
        SetAutoReply(wasOn);
    } else {
        NotLoaded();
    }
}

bool TAutoReplyCommands::LoadFromCommandLine(const QString& fileName)
{
    if (!LoadAutoReplyFile(fileName))
        return false;
    m_fileName = fileName;
    Loaded(fileName);
    return true;
}

void TAutoReplyCommands::AutoReplyLoadFailed()
{
    NotLoaded();
}

void TAutoReplyCommands::Loaded(const QString& fileName)
{
    m_controls.pnlAutoReturnTitle->setText(QCoreApplication::translate("AutoReplyCommands", "自動返信ﾃﾞｰﾀ - %1").arg(QFileInfo(fileName).fileName()));
    m_controls.ActionAutoReturnReload->setEnabled(true);
}

void TAutoReplyCommands::NotLoaded()
{
    m_controls.pnlAutoReturnTitle->setText(TitleText());
    m_controls.ActionAutoReturnReload->setEnabled(false);
}

} // namespace vpx
