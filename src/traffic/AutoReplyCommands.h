#pragma once

// The auto-reply table in the window: loading an auto-reply file (open, reload,
// the command line), the on/off switch, the title strip and the list view.

#include "traffic/AutoReplyModel.h"
#include "traffic/AutoReplySource.h"
#include "traffic/AutoReplyTable.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class QTreeView;

namespace vpx {

class UserPrompts;

class TAutoReplyCommands : public QObject, public TAutoReplySource {
    Q_OBJECT

public:
    struct Controls {
        QAction* ActionAutoReturn = nullptr; // checkable: its checked state is the switch
        QAction* ActionAutoReturnOpen = nullptr;
        QAction* ActionAutoReturnReload = nullptr;
        QLabel* pnlAutoReturnTitle = nullptr;
        QTreeView* lvReturnDatas = nullptr; // given the model and set up as a read-only report list
    };

    // Puts the controls into their start state (empty table, title "自動返信ﾃﾞｰﾀ",
    // switch off and disabled, reload disabled) and connects the open and reload
    // actions; their failures go to the prompts. The switch toggles itself as a
    // checkable action, so nothing is connected to it. The window must not connect
    // these again.
    TAutoReplyCommands(UserPrompts& prompts, const Controls& controls, QObject* parent = nullptr);
    ~TAutoReplyCommands() override;

    // Replaces the table with the rows of the file; false only when it cannot be read.
    bool LoadAutoReplyFile(const QString& fileName);
    void ClearAutoReplyRows();

    void SetAutoReply(bool on);
    bool IsAutoReplyOn() const override;

    void ActionAutoReturnExecute();
    void ActionAutoReturnOpenExecute();
    void ActionAutoReturnReloadExecute();

    // The "/a" option: loads the file and, on success, makes it the current
    // auto-reply file as the open action does.
    bool LoadFromCommandLine(const QString& fileName);
    // The "/a" option failed: the title and the reload action go back to their start.
    void AutoReplyLoadFailed();

    // The current auto-reply file (what reload reads again); empty before the first choice.
    const QString& FileName() const noexcept { return m_fileName; }
    const TAutoReplyTable& Table() const noexcept override { return m_table; }
    TAutoReplyAnswer NextAnswer(int index, const TReplyFaults& faults) override
    {
        return m_table.NextAnswer(index, faults);
    }
    TAutoReplyModel& Model() noexcept { return m_model; }
    const TAutoReplyModel& Model() const noexcept { return m_model; }

private:
    void Loaded(const QString& fileName);
    void NotLoaded();

    UserPrompts& m_prompts;
    Controls m_controls;
    TAutoReplyTable m_table;
    TAutoReplyModel m_model;
    QString m_fileName;
    QPointer<QTreeView> m_view; // may go before us when both are children of the window
};

} // namespace vpx
