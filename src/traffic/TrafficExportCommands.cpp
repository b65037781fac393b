#include "traffic/TrafficExportCommands.h"

#include "platform/SafeFile.h"
#include "platform/UserPrompts.h"
#include "traffic/TrafficLogView.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QListView>
#include <QMenu>

#include <stdexcept>

namespace vpx {

TTrafficExportCommands::TTrafficExportCommands(TTrafficLogView& view, UserPrompts& prompts, LocalEndpoint local,
                                               QObject* parent)
    : QObject(parent), m_view(view), m_prompts(prompts), m_local(std::move(local))
{
    const auto make = [this](const char* name, const QString& caption, const QString& hint) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        const qsizetype bar = hint.indexOf(QLatin1Char('|'));
        action->setToolTip(hint.left(bar));
        action->setStatusTip(hint.mid(bar + 1));
        return action;
    };
    m_save = make("ActionLogSave", tr("通信ログの保存..."),
                  tr("通信ログの保存|通信ログをpcapngまたはCSVファイルに保存します"));
    m_saveSelected = make("ActionLogSaveSelected", tr("選択行の保存..."),
                          tr("選択行の保存|選択した通信ログの行をpcapngまたはCSVファイルに保存します"));
    // Ctrl+C is the list's own key, not a shortcut of the window: the command box keeps its copy.
    m_copy = make("ActionLogCopy", tr("コピー(&C)") + QStringLiteral("\tCtrl+C"),
                  tr("コピー|選択した通信ログの行をテキストでコピーします"));
    m_time = make("ActionTimeColumn", tr("時刻(&M)"), tr("時刻|通信ログに時刻の列を表示します"));
    m_time->setCheckable(true);
    m_filter = make("ActionFilterRow", tr("フィルタ(&F)"), tr("フィルタ|通信ログの上にフィルタ行を表示します"));
    m_filter->setCheckable(true);

    // No exception may reach the event loop: a failure shows in the error box.
    const auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [handler = guarded(m_prompts, std::move(handler))] { handler(); });
    };
    on(m_save, &QAction::triggered, [this] { SaveRecords(Copies(m_view.AllRecords())); });
    on(m_saveSelected, &QAction::triggered, [this] { SaveRecords(Copies(m_view.SelectedRecords())); });
    on(m_copy, &QAction::triggered, [this] { CopySelected(); });
    on(&m_view, &TTrafficLogView::CopyRequested, [this] { CopySelected(); });
    connect(m_time, &QAction::toggled, this, [this](bool on) { m_view.SetTimeColumnVisible(on); });
    connect(m_filter, &QAction::toggled, this, [this](bool on) { m_view.SetFilterRowVisible(on); });

    m_popup = new QMenu(&m_view);
    m_popup->setObjectName(QStringLiteral("LogPopupMenu"));
    m_popup->addAction(m_copy);
    m_popup->addSeparator();
    m_popup->addActions({m_save, m_saveSelected});
    QListView* list = m_view.lstLog();
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& at) {
        const bool selected = !m_view.SelectedRecords().empty();
        m_copy->setEnabled(selected);
        m_saveSelected->setEnabled(selected);
        m_popup->popup(list->viewport()->mapToGlobal(at));
    });
    SyncSwitches();
}

void TTrafficExportCommands::SyncSwitches()
{
    m_time->setChecked(m_view.TimeColumnVisible());
    m_filter->setChecked(m_view.FilterRowVisible());
}

std::vector<TTrafficRecord> TTrafficExportCommands::Copies(const std::vector<const TTrafficRecord*>& records)
{
    std::vector<TTrafficRecord> copies;
    copies.reserve(records.size());
    for (const TTrafficRecord* record : records)
        if (record)
            copies.push_back(*record);
    return copies;
}

TrafficTextNames TTrafficExportCommands::TextNames()
{
    TrafficTextNames names;
    const auto text = [](const QString& translated) { return translated.toStdString(); };
    names.Received = text(tr("受信"));
    names.ReceivedMatched = text(tr("受信(一致)"));
    names.Sent = text(tr("送信"));
    names.AutoReplySent = text(tr("自動返信"));
    names.AutoReplyDropped = text(tr("自動返信(破棄)"));
    names.CsvHeader = {text(tr("時刻")),   text(tr("方向")),       text(tr("アドレス")), text(tr("ポート")),
                       text(tr("長さ")),   text(tr("データ")),     text(tr("コメント")), text(tr("取り込み値")),
                       text(tr("チェック"))};
    return names;
}

bool TTrafficExportCommands::SaveRecords(std::vector<TTrafficRecord> records)
{
    FileDialogRequest request;
    request.title = tr("通信ログの保存");
    request.filters = {tr("pcapngファイル (*.pcapng)"), tr("CSVファイル (*.csv)")};
    request.filterIndex = m_lastFile.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? 1 : 0;
    request.defaultSuffix = QStringLiteral("pcapng");
    request.fileName = m_lastFile;
    int filter = request.filterIndex;
    request.chosenFilter = &filter;
    const std::optional<QString> chosen = m_prompts.SaveFileName(request);
    if (!chosen || chosen->isEmpty())
        return false;
    const bool csv = chosen->endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ||
                     (filter == 1 && !chosen->endsWith(QStringLiteral(".pcapng"), Qt::CaseInsensitive));
    std::vector<const TTrafficRecord*> pointers;
    pointers.reserve(records.size());
    for (const TTrafficRecord& record : records)
        pointers.push_back(&record);
    const std::string bytes = csv ? ExportCsv(pointers, TextNames()) : ExportPcapng(pointers, m_local());
    QString failure;
    try {
        // The file is replaced only once the new one is whole.
        if (ReplaceFileContents(QFile::encodeName(*chosen).toStdString(), bytes) == ReplaceStatus::CannotCreate)
            failure = tr("通信ログの保存に失敗しました");
    } catch (const std::runtime_error& e) {
        failure = tr("通信ログの保存に失敗しました") + QStringLiteral("\r\n") + QString::fromLocal8Bit(e.what());
    }
    if (!failure.isEmpty()) {
        m_prompts.Message(failure, tr("エラー"), static_cast<int>(PromptButton::Ok), PromptIcon::Error);
        return false;
    }
    m_lastFile = *chosen;
    return true;
}

void TTrafficExportCommands::CopySelected()
{
    const std::vector<const TTrafficRecord*> records = m_view.SelectedRecords();
    if (records.empty())
        return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(TrafficTextLines(records, TextNames())));
}

} // namespace vpx
