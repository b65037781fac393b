#include "traffic/RepeatCommands.h"

#include "library/CommandTree.h"
#include "library/PayloadPreview.h"
#include "platform/UserPrompts.h"
#include "traffic/SendCommands.h"
#include "traffic/TrafficRecord.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

namespace vpx {

TRepeatCommands::TRepeatCommands(TSendCommands& send, UserPrompts& prompts, QLabel* status,
                                 SelectionProvider selected, PortState portOpen, QWidget* window, QObject* parent)
    : QObject(parent),
      m_send(send),
      m_prompts(prompts),
      m_status(status),
      m_selected(std::move(selected)),
      m_portOpen(std::move(portOpen)),
      m_portWatch(new QTimer(this))
{
    m_actionRepeat = new QAction(tr("繰り返し送信(&R)"), this);
    m_actionRepeat->setObjectName(QStringLiteral("ActionRepeat"));
    m_actionRepeat->setCheckable(true);
    m_actionRepeat->setToolTip(tr("一定の間隔で送信します（もう一度押すかEscで停止）"));
    m_actionGroup = new QAction(tr("グループを送信(&G)"), this);
    m_actionGroup->setObjectName(QStringLiteral("ActionSendGroup"));
    m_actionGroup->setCheckable(true);
    m_actionGroup->setToolTip(tr("選択されているグループのコマンドを順に送信します"));
    m_actionStop = new QAction(tr("送信を停止"), this);
    m_actionStop->setObjectName(QStringLiteral("ActionRepeatStop"));
    m_actionStop->setShortcut(QKeySequence(Qt::Key_Escape));
    m_actionStop->setShortcutContext(Qt::WindowShortcut);
    m_actionStop->setEnabled(false); // Esc belongs to others while nothing runs
    if (window)
        window->addAction(m_actionStop);

    m_settings = new QWidget;
    m_settings->setObjectName(QStringLiteral("RepeatSettings"));
    m_period = new QSpinBox(m_settings);
    m_period->setObjectName(QStringLiteral("spnPeriod"));
    m_period->setRange(static_cast<int>(TRepeatSchedule::MinPeriodMs), static_cast<int>(TRepeatSchedule::MaxPeriodMs));
    m_period->setValue(1000);
    m_period->setSuffix(tr(" ms"));
    m_count = new QSpinBox(m_settings);
    m_count->setObjectName(QStringLiteral("spnCount"));
    m_count->setRange(0, 1000000000);
    m_count->setSpecialValueText(tr("停止するまで"));
    m_source = new QComboBox(m_settings);
    m_source->setObjectName(QStringLiteral("cboRepeatSource"));
    m_source->addItems({tr("コマンド入力"), tr("選択されているコマンド")});
    auto* form = new QFormLayout(m_settings);
    form->addRow(tr("間隔："), m_period);
    form->addRow(tr("回数："), m_count);
    form->addRow(tr("送信するもの："), m_source);
    m_settingsAction = new QWidgetAction(this);
    m_settingsAction->setDefaultWidget(m_settings); // and owns it from here on

    connect(m_actionRepeat, &QAction::triggered, this, [this] { ActionRepeatExecute(); });
    connect(m_actionGroup, &QAction::triggered, this, [this] { ActionSendGroupExecute(); });
    connect(m_actionStop, &QAction::triggered, this, [this] { Stop(tr("停止しました")); });

    m_sender.OnProgress = [this](std::int64_t sent) { ShowCount(sent, false); };
    m_sender.OnFinished = [this](std::int64_t sent, const QString& reason) { Finished(sent, reason); };
    m_sender.OnException = [this](const std::exception& e) { m_prompts.ShowException(e); };

    m_portWatch->setInterval(200);
    connect(m_portWatch, &QTimer::timeout, this, [this] {
        if (m_sender.Running() && m_portOpen && !m_portOpen())
            Stop(tr("ﾎﾟｰﾄが閉じたため停止しました"));
    });
}

TRepeatCommands::~TRepeatCommands()
{
    m_sender.OnFinished = nullptr;
    m_sender.Stop();
}

void TRepeatCommands::AddTo(QToolBar& bar)
{
    bar.addAction(m_actionRepeat);
    if (auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(m_actionRepeat))) {
        auto* menu = new QMenu(button);
        menu->addAction(m_settingsAction);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    bar.addAction(m_actionGroup);
}

void TRepeatCommands::SetPeriodMs(int ms)
{
    m_period->setValue(ms);
}

void TRepeatCommands::SetCount(int count)
{
    m_count->setValue(count);
}

void TRepeatCommands::SetSource(Source source)
{
    m_source->setCurrentIndex(source == Source::Selected ? 1 : 0);
}

void TRepeatCommands::ActionRepeatExecute()
{
    if (m_sender.Running()) {
        Stop(tr("停止しました"));
        return;
    }
    m_actionRepeat->setChecked(false);
    SendStep step;
    if (m_source->currentIndex() == 1) {
        const CommandNode* node = m_selected ? m_selected() : nullptr;
        if (!node || !node->IsCommand() || node->Info()->Command.empty()) {
            m_status->setText(tr("繰り返すコマンドを選択してください"));
            return;
        }
        step = CommandStep(*node, m_send.GetDefaultByteOrder());
    } else {
        step.Text = m_send.BoxText();
        step.TextMode = m_send.GetSendMode() == 1;
        step.ByteOrder = static_cast<std::uint8_t>(m_send.GetDefaultByteOrder());
        if (step.Text.empty()) {
            m_status->setText(tr("コマンド入力が空です"));
            return;
        }
    }
    m_repeat = true;
    Run({std::move(step)}, m_count->value());
}

void TRepeatCommands::ActionSendGroupExecute()
{
    if (m_sender.Running()) {
        Stop(tr("停止しました"));
        return;
    }
    m_actionGroup->setChecked(false);
    const CommandNode* node = m_selected ? m_selected() : nullptr;
    std::vector<SendStep> steps;
    if (node)
        steps = GroupSteps(*node, m_send.GetDefaultByteOrder());
    if (steps.empty()) {
        m_status->setText(tr("送信するコマンドのあるグループを選択してください"));
        return;
    }
    m_repeat = false;
    const auto count = static_cast<std::int64_t>(steps.size());
    Run(std::move(steps), count);
}

void TRepeatCommands::Run(std::vector<SendStep> steps, std::int64_t count)
{
    // A step that does not compile is refused before anything goes out, with its reason.
    for (const SendStep& step : steps) {
        const PayloadPreview p = DescribePayload(step.TextMode, step.ByteOrder, step.Text);
        if (p.Kind == PayloadPreview::State::Error) {
            m_status->setText(tr("送信しませんでした（%1%2）")
                                  .arg(step.Name.empty() ? QString() : FromAnsi(step.Name) + QStringLiteral(": "),
                                       p.Text));
            return;
        }
    }
    if (m_portOpen && !m_portOpen()) {
        m_status->setText(tr("ﾎﾟｰﾄが閉じているため送信しませんでした"));
        return;
    }
    m_steps = std::move(steps);
    QAction* running = m_repeat ? m_actionRepeat : m_actionGroup;
    running->setChecked(true);
    (m_repeat ? m_actionGroup : m_actionRepeat)->setEnabled(false);
    m_actionStop->setEnabled(true);
    m_portWatch->start();
    m_shown.invalidate();
    m_sender.Start(m_period->value(), count, [this](std::int64_t index, QString& why) {
        if (m_portOpen && !m_portOpen()) {
            why = tr("ﾎﾟｰﾄが閉じたため停止しました");
            return false;
        }
        const SendStep& step = m_steps[m_repeat ? 0 : static_cast<std::size_t>(index)];
        m_send.SendPayload(tkSent, step.TextMode, step.ByteOrder, step.Text, step.Name);
        return true;
    });
}

void TRepeatCommands::Stop(const QString& reason)
{
    m_sender.Stop(reason);
}

void TRepeatCommands::ShowCount(std::int64_t sent, bool force)
{
    if (!force && m_shown.isValid() && m_shown.elapsed() < 100)
        return;
    m_shown.start();
    m_status->setText(m_repeat ? tr("繰り返し送信中：%1 回").arg(sent)
                               : tr("グループを送信中：%1 / %2").arg(sent).arg(m_steps.size()));
}

void TRepeatCommands::Finished(std::int64_t sent, const QString& reason)
{
    m_portWatch->stop();
    m_actionStop->setEnabled(false);
    m_actionRepeat->setChecked(false);
    m_actionGroup->setChecked(false);
    m_actionRepeat->setEnabled(true);
    m_actionGroup->setEnabled(true);
    const QString done = tr("%1 回送信しました").arg(sent);
    m_status->setText(reason.isEmpty() ? done : tr("%1（%2）").arg(reason, done));
}

} // namespace vpx
