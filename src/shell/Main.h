#pragma once

// The main window: it creates the widgets, owns every subsystem for the whole run
// and wires actions to them. What each command does lives with its subsystem.

#include "library/CommandDocument.h"
#include "platform/UserPrompts.h"
#include "transport/UDPCtrl.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeView;

namespace vpx {

class CommandTreeModel;
class TAbout;
class TAutoReplyCommands;
class TCommandEditor;
class TCommandTreeView;
class TConnectionCommands;
class TFindCommands;
class TReceiveHandler;
class TReplyTimer;
class TSendCommands;
class TRepeatCommands;
class THelpViewer;
class TIPEdit;
class TLanguageMenu;
class TMainActions;
class TNumEdit;
class TPeerEndpoint;
class TTrafficActions;
class TTrafficExportCommands;
class TTrafficLogView;
class TXPToolBarMenu;
class UserPrompts;
struct TSettingsTarget;
struct TWindowPlacementTarget;

class TfrmSimMain : public QMainWindow {
    Q_OBJECT

    // First, so that everything below can show boxes from its construction on.
    std::unique_ptr<UserPrompts> m_ownPrompts;
    UserPrompts* m_prompts;

public:
    // `prompts` answers every box and dialog (the real one when null); `arguments`
    // are the command-line arguments without the program itself.
    explicit TfrmSimMain(const QStringList& arguments = {}, UserPrompts* prompts = nullptr,
                         QWidget* parent = nullptr);
    ~TfrmSimMain() override;

    // The program's folder, with its trailing separator.
    static QString ProgramFolder();

    TUDPControl UDPControl;
    CommandDocument Document;

    TMainActions* Actions() const noexcept { return m_actions; }
    TTrafficActions* TrafficActions() const noexcept { return m_trafficActions; }
    TTrafficExportCommands* LogExport() const noexcept { return m_logExport; }
    TConnectionCommands& Connection() const noexcept { return *m_connection; }
    TSendCommands& Send() const noexcept { return *m_send; }
    TRepeatCommands& Repeat() const noexcept { return *m_repeat; }
    TAutoReplyCommands& AutoReply() const noexcept { return *m_autoReply; }
    TCommandEditor& Editor() const noexcept { return *m_editor; }
    TFindCommands& Find() const noexcept { return *m_find; }
    TAbout& About() const noexcept { return *m_about; }
    UserPrompts& Prompts() const noexcept { return *m_prompts; }
    TLanguageMenu& LanguageMenu() const noexcept { return *m_language; }

    // Widgets, by the names the rest of the program knows them by.
    TXPToolBarMenu* toolMenu = nullptr;
    QToolBar* toolFile = nullptr;
    QToolBar* tolShow = nullptr;
    QToolBar* toolPortAddr = nullptr;
    QToolBar* toolCommand = nullptr;
    TNumEdit* nedtPort = nullptr;
    TIPEdit* ipedtAddress = nullptr;
    QComboBox* cboCommand = nullptr;
    QLabel* lblPreview = nullptr; // under the tool bars: what the command box will send
    QToolButton* tbConnect = nullptr;
    QToolButton* tbSearch = nullptr;
    QAction* mnuConnect = nullptr;
    QSplitter* Splitter2 = nullptr; // upper pane / lower pane
    QSplitter* Splitter1 = nullptr; // left pane / right pane
    QWidget* pnlTop = nullptr;
    QWidget* pnlLeft = nullptr;
    QWidget* pnlRight = nullptr;
    QWidget* pnlBottom = nullptr;
    QLabel* pnlSelected = nullptr;
    QLabel* pnlAutoReturnTitle = nullptr;
    TCommandTreeView* tvCommand = nullptr;
    CommandTreeModel* TreeModel = nullptr;
    TTrafficLogView* LogView = nullptr;
    QTreeView* lvReturnDatas = nullptr;
    QMenu* PopupMenu = nullptr;
    QLabel* StatusPanel[3] = {nullptr, nullptr, nullptr};

    // Start and stop, in the order the program runs them.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    void FormResize();

    // The program is being ended from outside: the window closes with its settings
    // saved but without asking anything.
    void CloseWithoutQuestions();

    void UpdateCaption();
    void tvCommandChange(const CommandNode* node, bool fillDirectInput);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateToolBars();
    void CreatePanes();
    void CreateStatusBar();
    void CreateMenus();
    void CreateSubsystems();
    void ConnectActions();
    void ActionSearchforHelpOnExecute();
    TSettingsTarget SettingsTarget();
    TWindowPlacementTarget PlacementTarget();

    QStringList m_arguments;
    TMainActions* m_actions = nullptr;
    TTrafficActions* m_trafficActions = nullptr;
    TTrafficExportCommands* m_logExport = nullptr;
    TLanguageMenu* m_language = nullptr;
    std::unique_ptr<TConnectionCommands> m_connection;
    TPeerEndpoint* m_peer = nullptr;
    std::unique_ptr<TSendCommands> m_send;
    std::unique_ptr<TRepeatCommands> m_repeat; // after m_send: it stops before the sender goes
    std::unique_ptr<TAutoReplyCommands> m_autoReply;
    std::unique_ptr<TReceiveHandler> m_receive;
    std::unique_ptr<TReplyTimer> m_replyTimer; // after m_receive: it goes first
    std::unique_ptr<TCommandEditor> m_editor;
    std::unique_ptr<TFindCommands> m_find;
    // Last, so that it goes first: its destructor deletes the settings when asked,
    // after everything else was saved.
    std::unique_ptr<TAbout> m_about;
    THelpViewer* m_help = nullptr;
    bool m_shown = false;
    bool m_destroyed = false;
    bool m_noQuestions = false;
};

} // namespace vpx
