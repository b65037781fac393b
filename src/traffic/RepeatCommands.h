#pragma once

// Repeat and "send group" on the tool bar: one button starts a repeat of the
// command box or the selected command (its pop-up holds the period, the count
// and the source), another sends the selected group's commands one after the
// other; either button, or Esc, stops what runs, and so does closing the port.
// The timing is TRepeatSender's; this class only drives it from the widgets.

#include "traffic/RepeatSender.h"
#include "traffic/SendSequence.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QSpinBox;
class QTimer;
class QToolBar;
class QWidget;
class QWidgetAction;

namespace vpx {

class CommandNode;
class TSendCommands;
class UserPrompts;

class TRepeatCommands : public QObject {
    Q_OBJECT

public:
    using SelectionProvider = std::function<const CommandNode*()>;
    using PortState = std::function<bool()>;

    // `status` shows the count sent so far and why a run ended. The actions are
    // this object's; AddTo puts them on a tool bar, `window` gets the Esc key.
    TRepeatCommands(TSendCommands& send, UserPrompts& prompts, QLabel* status, SelectionProvider selected,
                    PortState portOpen, QWidget* window, QObject* parent = nullptr);
    ~TRepeatCommands() override;

    void AddTo(QToolBar& bar);

    enum class Source { CommandBox, Selected };
    // The pop-up's settings.
    void SetPeriodMs(int ms);
    void SetCount(int count); // 0: until stopped
    void SetSource(Source source);

    // The buttons' actions: start when idle, stop when running.
    void ActionRepeatExecute();
    void ActionSendGroupExecute();
    void Stop(const QString& reason = QString());

    bool Running() const noexcept { return m_sender.Running(); }
    TRepeatSender& Sender() noexcept { return m_sender; }
    QAction* ActionRepeat() const noexcept { return m_actionRepeat; }
    QAction* ActionSendGroup() const noexcept { return m_actionGroup; }
    QAction* ActionStop() const noexcept { return m_actionStop; }
    QWidget* Settings() const noexcept { return m_settings; }

private:
    void Run(std::vector<SendStep> steps, std::int64_t count);
    void ShowCount(std::int64_t sent, bool force);
    void Finished(std::int64_t sent, const QString& reason);

    TSendCommands& m_send;
    UserPrompts& m_prompts;
    QLabel* m_status;
    SelectionProvider m_selected;
    PortState m_portOpen;
    TRepeatSender m_sender;
    std::vector<SendStep> m_steps;
    bool m_repeat = false; // a repeat (one step again and again) rather than a sequence
    QElapsedTimer m_shown; // the count is shown at most ten times a second
    QTimer* m_portWatch;   // a long period must not outlive a closed port by its length

    QAction* m_actionRepeat;
    QAction* m_actionGroup;
    QAction* m_actionStop;
    QWidget* m_settings;
    QWidgetAction* m_settingsAction;
    QSpinBox* m_period;
    QSpinBox* m_count;
    QComboBox* m_source;
};

} // namespace vpx
