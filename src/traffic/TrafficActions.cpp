#include "traffic/TrafficActions.h"

#include "traffic/TrafficLogView.h"
#include "transport/DebugLog.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>

namespace vpx {

TTrafficActions::TTrafficActions(TTrafficLogView& view, TCustomDebugLog& log, QObject* parent)
    : QObject(parent), m_view(view), m_debugLog(log)
{
    m_clear = Make(QStringLiteral("ActionClear"), QCoreApplication::translate("TrafficActions", "クリア(&N)"),
                   QCoreApplication::translate("TrafficActions", "ﾛｸﾞのｸﾘｱ|ﾛｸﾞをｸﾘｱします"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    m_hex = Make(QStringLiteral("ActionHex"), QCoreApplication::translate("TrafficActions", "16進"), QCoreApplication::translate("TrafficActions", "16進|ﾛｸﾞ表示を16進表示にします"),
                 QKeySequence(Qt::CTRL | Qt::Key_H));
    m_decimal = Make(QStringLiteral("ActionDecimal"), QCoreApplication::translate("TrafficActions", "10進"),
                     QCoreApplication::translate("TrafficActions", "10進|ﾛｸﾞ表示を10進表示にします"), QKeySequence(Qt::CTRL | Qt::Key_D));
    m_ascii = Make(QStringLiteral("ActionAscii"), QStringLiteral("Ascii"),
                   QCoreApplication::translate("TrafficActions", "Ascii|ﾛｸﾞ表示をAscii表示にします"), QKeySequence(Qt::CTRL | Qt::Key_A));
    m_log = Make(QStringLiteral("ActionLog"), QCoreApplication::translate("TrafficActions", "ログ(&L)"),
                 QCoreApplication::translate("TrafficActions", "ﾛｸﾞﾌｧｲﾙに書き込む|ﾛｸﾞﾌｧｲﾙにﾛｸﾞを書き込みます"), QKeySequence(Qt::CTRL | Qt::Key_L));
    m_hexLog = Make(QStringLiteral("ActionHexLog"), QCoreApplication::translate("TrafficActions", "16進表記(&H)"),
                    QCoreApplication::translate("TrafficActions", "16進表記|ログファイルに16進表記で書きこみます"), QKeySequence());
    m_asciiLog = Make(QStringLiteral("ActionAsciiLog"), QCoreApplication::translate("TrafficActions", "文字列(&S)"),
                      QCoreApplication::translate("TrafficActions", "文字列|受信データを文字列としてログファイルに書きこみます"), QKeySequence());

    // Radio entries: the view types, and the two forms of the trace file. The
    // groups are optional-exclusive so the code alone decides what is checked.
    auto* views = new QActionGroup(this);
    views->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a : {m_hex, m_decimal, m_ascii}) {
        a->setCheckable(true);
        views->addAction(a);
    }
    auto* forms = new QActionGroup(this);
    forms->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a : {m_hexLog, m_asciiLog}) {
        a->setCheckable(true);
        forms->addAction(a);
    }
    m_log->setCheckable(true);

    connect(m_clear, &QAction::triggered, this, &TTrafficActions::ActionClearExecute);
    connect(m_hex, &QAction::triggered, this, &TTrafficActions::ActionHexExecute);
    connect(m_decimal, &QAction::triggered, this, &TTrafficActions::ActionDecimalExecute);
    connect(m_ascii, &QAction::triggered, this, &TTrafficActions::ActionAsciiExecute);
    connect(m_log, &QAction::triggered, this, &TTrafficActions::ActionLogExecute);
    connect(m_hexLog, &QAction::triggered, this, &TTrafficActions::ActionHexLogExecute);
    connect(m_asciiLog, &QAction::triggered, this, &TTrafficActions::ActionAsciiLogExecute);
    connect(&m_view, &TTrafficLogView::ViewTypeChanged, this, &TTrafficActions::ShowViewType);

    ShowViewType(m_view.GetViewType());
    SyncLogSwitches();
}

QAction* TTrafficActions::Make(const QString& name, const QString& caption, const QString& hint,
                               const QKeySequence& shortcut)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(hint.left(bar));
    action->setStatusTip(hint.mid(bar + 1));
    action->setProperty("hint", hint);
    action->setShortcut(shortcut);
    return action;
}

void TTrafficActions::ShowViewType(int viewType)
{
    m_hex->setChecked(viewType == 0);
    m_decimal->setChecked(viewType == 1);
    m_ascii->setChecked(viewType == 2);
}

void TTrafficActions::SyncLogSwitches()
{
    m_log->setChecked(m_debugLog.WriteLog());
    m_hexLog->setChecked(m_debugLog.LogType() == ltHexList);
    m_asciiLog->setChecked(m_debugLog.LogType() == ltAscii);
}

void TTrafficActions::ActionClearExecute()
{
    m_view.ClearTrafficLog();
}

void TTrafficActions::ActionHexExecute()
{
    m_view.SetViewType(0);
    ShowViewType(m_view.GetViewType());
}

void TTrafficActions::ActionDecimalExecute()
{
    m_view.SetViewType(1);
    ShowViewType(m_view.GetViewType());
}

void TTrafficActions::ActionAsciiExecute()
{
    m_view.SetViewType(2);
    ShowViewType(m_view.GetViewType());
}

void TTrafficActions::ActionLogExecute()
{
    m_debugLog.SetWriteLog(!m_debugLog.WriteLog());
    m_log->setChecked(m_debugLog.WriteLog());
}

void TTrafficActions::ActionHexLogExecute()
{
    m_debugLog.SetLogType(ltHexList);
    m_hexLog->setChecked(true);
    m_asciiLog->setChecked(false);
}

void TTrafficActions::ActionAsciiLogExecute()
{
    m_debugLog.SetLogType(ltAscii);
    m_hexLog->setChecked(false);
    m_asciiLog->setChecked(true);
}

} // namespace vpx
