#include "shell/Main.h"

#include "about/About.h"
#include "about/AboutPicture.h"
#include "library/CommandEditor.h"
#include "library/CommandRecovery.h"
#include "library/CommandSelection.h"
#include "library/CommandTreeModel.h"
#include "library/CommandTreeView.h"
#include "library/FindCommands.h"
#include "platform/CodePage.h"
#include "platform/UserPrompts.h"
#include "shell/CommandLine.h"
#include "shell/ConnectionCommands.h"
#include "shell/HelpViewer.h"
#include "shell/IPEdit.h"
#include "shell/LanguageMenu.h"
#include "shell/MainActions.h"
#include "shell/NumEdit.h"
#include "shell/PaneRules.h"
#include "shell/PeerEndpoint.h"
#include "shell/Settings.h"
#include "shell/ToolImages.h"
#include "shell/UDPProp.h"
#include "shell/XPToolBarMenu.h"
#include "traffic/AutoReplyCommands.h"
#include "traffic/ImageList.h"
#include "traffic/ReceiveHandler.h"
#include "traffic/ReplyTimer.h"
#include "traffic/RepeatCommands.h"
#include "traffic/SendCommands.h"
#include "traffic/TrafficActions.h"
#include "traffic/TrafficExportCommands.h"
#include "traffic/TrafficLogView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace vpx {

namespace {

const QString kRegistryKey = QStringLiteral("Software\\Norveth\\VPX");

// The busy cursor for a long step, put back whatever happens.
class BusyCursor {
public:
    explicit BusyCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QFont FontOf(const QStringList& families, int pixelSize)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    return font;
}

// A pane's title strip: a sunken one-line label over the pane's control.
QLabel* TitleStrip(const QString& text, const char* name)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setFixedHeight(17);
    label->setIndent(2);
    return label;
}

QWidget* Pane(const char* name, QLabel* title, QWidget* body)
{
    auto* pane = new QWidget;
    pane->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(body, 1);
    // Assistive technology finds the control by its title strip.
    body->setAccessibleName(title->text());
    return pane;
}

QToolBar* FlatToolBar(const char* name, bool showImages)
{
    auto* bar = new QToolBar;
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(showImages ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
    return bar;
}

} // namespace

TfrmSimMain::TfrmSimMain(const QStringList& arguments, UserPrompts* prompts, QWidget* parent)
    : QMainWindow(parent), m_ownPrompts(prompts ? nullptr : std::make_unique<QtUserPrompts>(this)),
      m_prompts(prompts ? prompts : m_ownPrompts.get()), Document(*m_prompts), m_arguments(arguments)
{
    setObjectName(QStringLiteral("frmSimMain"));
    setWindowIcon(ToolImages::Icon(ToolImage::AppIcon));
    setFont(FontOf({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")},
                   12));
    setMinimumSize(200, 100);
    resize(632, 453);

    m_actions = new TMainActions(this);
    CreatePanes();
    m_trafficActions = new TTrafficActions(*LogView, UDPControl, this);
    m_trafficActions->ActionLog()->setIcon(ToolImages::Icon(ToolImage::Log));
    m_trafficActions->ActionClear()->setIcon(ToolImages::Icon(ToolImage::Clear));
    m_logExport = new TTrafficExportCommands(
        *LogView, *m_prompts, [this] { return TrafficEndpoint{UDPControl.LocalAddress(), UDPControl.BoundPort()}; },
        this);
    CreateToolBars();
    CreateStatusBar();
    CreateMenus();
    CreateSubsystems();
    ConnectActions();
    FormCreate();
}

TfrmSimMain::~TfrmSimMain()
{
    FormDestroy();
}

QString TfrmSimMain::ProgramFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void TfrmSimMain::CreateToolBars()
{
    toolMenu = new TXPToolBarMenu;
    toolMenu->setObjectName(QStringLiteral("toolMenu"));
    toolMenu->setMovable(false);
    toolMenu->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Menu titles carry no drop-down arrow, as on a menu bar.
    toolMenu->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    addToolBar(toolMenu);
    addToolBarBreak();

    toolFile = FlatToolBar("toolFile", true);
    toolFile->addAction(m_actions->ActionExit);
    toolFile->addSeparator();
    toolFile->addAction(m_actions->ActionOpen);
    toolFile->addAction(m_actions->ActionSave);
    toolFile->addSeparator();
    toolFile->addAction(m_actions->ActionCommEnv);
    addToolBar(toolFile);

    tolShow = FlatToolBar("tolShow", true);
    tolShow->addAction(m_trafficActions->ActionClear());
    tolShow->addAction(m_trafficActions->ActionLog());
    addToolBar(tolShow);

    toolPortAddr = FlatToolBar("toolPortAddr", false);
    auto* portLabel = new QLabel(QStringLiteral("Port:"));
    nedtPort = new TNumEdit;
    nedtPort->setObjectName(QStringLiteral("nedtPort"));
    nedtPort->SetMax(65535);
    nedtPort->setFixedWidth(41);
    nedtPort->setAccessibleName(QStringLiteral("Port"));
    portLabel->setBuddy(nedtPort);
    auto* addrLabel = new QLabel(QStringLiteral("Addr:"));
    ipedtAddress = new TIPEdit;
    ipedtAddress->setObjectName(QStringLiteral("ipedtAddress"));
    ipedtAddress->SetAddress(QStringLiteral("0.0.0.0"));
    ipedtAddress->setFixedWidth(153);
    ipedtAddress->setAccessibleName(QStringLiteral("Addr"));
    toolPortAddr->addWidget(portLabel);
    toolPortAddr->addWidget(nedtPort);
    toolPortAddr->addSeparator();
    toolPortAddr->addWidget(addrLabel);
    toolPortAddr->addWidget(ipedtAddress);
    addToolBar(toolPortAddr);
    // Measured in the window's font, now that the boxes have it.
    nedtPort->setFixedWidth(std::max(41, nedtPort->WidthToShow(QStringLiteral("65535"))));
    ipedtAddress->setFixedWidth(std::max(153, ipedtAddress->WidthToShow()));
    addToolBarBreak();

    toolCommand = FlatToolBar("toolCommand", true);
    toolCommand->addAction(m_actions->ActionAutoReturn);
    toolCommand->addSeparator();
    toolCommand->addAction(m_actions->ActionLittleEndian);
    toolCommand->addAction(m_actions->ActionBigEndian);
    toolCommand->addSeparator();
    toolCommand->addAction(m_actions->ActionMix);
    toolCommand->addAction(m_actions->ActionText);
    toolCommand->addSeparator();
    toolCommand->addAction(m_actions->ActionConnect);
    tbConnect = qobject_cast<QToolButton*>(toolCommand->widgetForAction(m_actions->ActionConnect));
    toolCommand->addAction(m_actions->ActionSend);
    toolCommand->addSeparator();
    cboCommand = new QComboBox;
    cboCommand->setObjectName(QStringLiteral("cboCommand"));
    cboCommand->setEditable(true);
    cboCommand->setCompleter(nullptr);
    cboCommand->setInsertPolicy(QComboBox::NoInsert);
    cboCommand->setFixedWidth(233);
    cboCommand->setAccessibleName(QCoreApplication::translate("Main", "コマンド入力"));
    toolCommand->addWidget(cboCommand);
    addToolBar(toolCommand);
}

void TfrmSimMain::CreatePanes()
{
    tvCommand = new TCommandTreeView;
    TreeModel = new CommandTreeModel(Document.Tree(), this);
    TreeModel->SetIconLookup([](int index) { return ImageList::Shared().Icon(index); });
    tvCommand->SetCommandModel(TreeModel);
    pnlLeft = Pane("pnlLeft", TitleStrip(QCoreApplication::translate("Main", "ｺﾏﾝﾄﾞ"), "pnlCommandTitle"), tvCommand);

    LogView = new TTrafficLogView;
    LogView->setObjectName(QStringLiteral("tcViewType"));
    pnlSelected = TitleStrip(QCoreApplication::translate("Main", "選択されていません"), "pnlSelected");
    pnlRight = Pane("pnlRight", pnlSelected, LogView);
    LogView->lstLog()->setAccessibleName(QCoreApplication::translate("Main", "通信ログ"));

    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(kSplitterSize);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(pnlLeft);
    Splitter1->addWidget(pnlRight);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    pnlTop = Splitter1;

    lvReturnDatas = new QTreeView;
    lvReturnDatas->setObjectName(QStringLiteral("lvReturnDatas"));
    lvReturnDatas->setRootIsDecorated(false);
    lvReturnDatas->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvReturnDatas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvReturnDatas->header()->setSectionsClickable(false);
    pnlAutoReturnTitle = TitleStrip(QCoreApplication::translate("Main", "自動返信ﾃﾞｰﾀ"), "pnlAutoReturnTitle");
    pnlBottom = Pane("pnlBottom", pnlAutoReturnTitle, lvReturnDatas);

    Splitter2 = new QSplitter(Qt::Vertical);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(kSplitterSize);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(pnlTop);
    Splitter2->addWidget(pnlBottom);
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);
    for (QWidget* pane : {pnlLeft, pnlRight, pnlTop, pnlBottom})
        pane->setMinimumSize(1, 1); // the pane rules keep the least sizes, not the layout
    Splitter2->setSizes({244, 453 - 244});
    Splitter1->setSizes({128, 632 - 128});

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 4, 0, 0); // Bevel1, the 4-pixel spacer under the tool bars
    lblPreview = new QLabel;
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setContentsMargins(4, 0, 4, 2);
    layout->addWidget(lblPreview);
    layout->addWidget(Splitter2);
    setCentralWidget(central);
}

void TfrmSimMain::CreateStatusBar()
{
    const int widths[3] = {48, 136, 0};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (widths[i] > 0)
            panel->setFixedWidth(widths[i]);
        statusBar()->addWidget(panel, widths[i] > 0 ? 0 : 1);
        StatusPanel[i] = panel;
    }
    StatusPanel[0]->setAlignment(Qt::AlignCenter);
    StatusPanel[0]->setText(QCoreApplication::translate("Main", "未接続"));
}

void TfrmSimMain::CreateMenus()
{
    TMainActions& a = *m_actions;
    TTrafficActions& t = *m_trafficActions;
    // The menu item of the connect command has a caption of its own ("接続(&P)" /
    // "切断(&P)") while the command keeps "接続(&C)"; it forwards to the command.
    mnuConnect = new QAction(a.ActionConnect->text(), this);
    mnuConnect->setObjectName(QStringLiteral("mnuConnect"));
    mnuConnect->setCheckable(true);
    mnuConnect->setIcon(a.ActionConnect->icon());
    mnuConnect->setStatusTip(a.ActionConnect->statusTip());
    connect(mnuConnect, &QAction::triggered, this, [this] {
        mnuConnect->setChecked(m_actions->ActionConnect->isChecked()); // the command decides
        m_actions->ActionConnect->trigger();
    });

    const auto menu = [this](const QString& caption, const char* name) {
        auto* m = new QMenu(caption, this);
        m->setObjectName(QString::fromLatin1(name));
        QAction* button = toolMenu->addAction(caption);
        button->setMenu(m);
        if (auto* tb = qobject_cast<QToolButton*>(toolMenu->widgetForAction(button)))
            tb->setPopupMode(QToolButton::InstantPopup);
        return m;
    };
    QMenu* file = menu(QCoreApplication::translate("Main", "ファイル(&F)"), "mnuFile");
    file->addActions({a.ActionNew, a.ActionOpen, a.ActionSave, a.ActionSaveAs});
    file->addSeparator();
    file->addActions({m_logExport->ActionLogSave(), m_logExport->ActionLogSaveSelected()});
    file->addSeparator();
    file->addAction(a.ActionExit);

    QMenu* autoReply = menu(QCoreApplication::translate("Main", "自動返信(&A)"), "mnuAutoReturn");
    autoReply->addActions({a.ActionAutoReturnOpen, a.ActionAutoReturnReload});
    autoReply->addSeparator();
    autoReply->addAction(a.ActionAutoReturn);
    autoReply->addAction(a.ActionReplyToSender);

    QMenu* search = menu(QCoreApplication::translate("Main", "検索(&S)"), "mnuSearch");
    search->addActions({a.ActionGoFind, a.ActionFindPrev, a.ActionFindNext});
    tbSearch = qobject_cast<QToolButton*>(toolMenu->widgetForAction(toolMenu->actions().constLast()));
    tbSearch->setEnabled(false);

    QMenu* command = menu(QCoreApplication::translate("Main", "コマンド(&C)"), "mnuCommand");
    command->addAction(mnuConnect);
    command->addSeparator();
    command->addActions({a.ActionSend, a.ActionSendSelected});
    command->addSeparator();
    QMenu* addNew = command->addMenu(QCoreApplication::translate("Main", "新規作成(&N)"));
    addNew->addActions({a.ActionAddGroup, a.ActionAddCommand, a.ActionAddRoot});
    command->addActions({a.ActionDelete, a.ActionProperty});
    command->addSeparator();
    command->addMenu(QCoreApplication::translate("Main", "バイトオーダー(&B)"))->addActions({a.ActionLittleEndian, a.ActionBigEndian});
    command->addMenu(QCoreApplication::translate("Main", "送信モード(&M)"))->addActions({a.ActionMix, a.ActionText});

    QMenu* view = menu(QCoreApplication::translate("Main", "表示(&V)"), "mnuView");
    view->addMenu(QCoreApplication::translate("Main", "種類(&T)"))->addActions({t.ActionHex(), t.ActionDecimal(), t.ActionAscii()});
    view->addAction(t.ActionClear());
    view->addSeparator();
    view->addActions({m_logExport->ActionTimeColumn(), m_logExport->ActionFilterRow()});

    QMenu* options = menu(QCoreApplication::translate("Main", "オプション(&O)"), "mnuOption");
    options->addActions({a.ActionCommEnv, a.ActionSockInfo});
    options->addSeparator();
    options->addAction(t.ActionLog());
    options->addMenu(QCoreApplication::translate("Main", "ログファイル種別(&T)"))->addActions({t.ActionHexLog(), t.ActionAsciiLog()});
    options->addSeparator();
    m_language = new TLanguageMenu(*options, *m_prompts, this);

    QMenu* help = menu(QCoreApplication::translate("Main", "ヘルプ(&H)"), "mnuHelp");
    help->addAction(a.ActionSearchforHelpOn);
    help->addSeparator();
    help->addAction(a.ActionAbout);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    TCommandEditor::FillPopupMenu(*PopupMenu, a.ActionSendSelected, a.ActionAddGroup, a.ActionAddCommand,
                                  a.ActionAddRoot, a.ActionDelete, a.ActionProperty);
    tvCommand->SetPopupMenu(PopupMenu);

    // Every action reachable from the keyboard wherever the focus is in the window.
    for (QAction* action : findChildren<QAction*>())
        if (!action->shortcut().isEmpty())
            addAction(action);
}

void TfrmSimMain::CreateSubsystems()
{
    TMainActions& a = *m_actions;
    UserPrompts& p = *m_prompts;
    m_connection = std::make_unique<TConnectionCommands>(
        UDPControl, p, ConnectionIndicators{a.ActionConnect, mnuConnect, StatusPanel[0], StatusPanel[1]}, this);
    m_peer = new TPeerEndpoint(*ipedtAddress, *nedtPort, this);
    m_send = std::make_unique<TSendCommands>(
        UDPControl, *LogView, p,
        TSendCommands::Controls{cboCommand, a.ActionSend, a.ActionSendSelected, a.ActionMix, a.ActionText,
                                a.ActionLittleEndian, a.ActionBigEndian, lblPreview},
        [this] { return m_peer->Address(); }, [this] { return m_peer->Port(); },
        [this]() -> const CommandNode* { return tvCommand->Selected(); });
    m_repeat = std::make_unique<TRepeatCommands>(
        *m_send, p, StatusPanel[2], [this]() -> const CommandNode* { return tvCommand->Selected(); },
        [this] { return UDPControl.Active(); }, this);
    m_repeat->AddTo(*toolCommand);
    m_autoReply = std::make_unique<TAutoReplyCommands>(
        p, TAutoReplyCommands::Controls{a.ActionAutoReturn, a.ActionAutoReturnOpen, a.ActionAutoReturnReload,
                                        pnlAutoReturnTitle, lvReturnDatas});
    m_receive = std::make_unique<TReceiveHandler>(*m_autoReply, *m_send, *LogView, Document.Tree());
    // Replies a %DELAY holds back go out from the event loop; reception goes on meanwhile.
    m_replyTimer = std::make_unique<TReplyTimer>(*m_receive, [&p](const std::exception& e) { p.ShowException(e); });
    m_editor = std::make_unique<TCommandEditor>(Document, *tvCommand, p, this);
    m_editor->DefaultByteOrder = [this] { return m_send->GetDefaultByteOrder(); };
    m_find = std::make_unique<TFindCommands>(
        *tvCommand, p, TFindCommands::Controls{a.ActionGoFind, a.ActionFindPrev, a.ActionFindNext, tbSearch}, this);

    m_about = std::make_unique<TAbout>(p, this);
    m_about->RegName = QStringLiteral("\\") + kRegistryKey;
    m_about->Title = QCoreApplication::translate("Main", "Vorpexについて");
    m_about->Logo = VorpexLogoPixmap(64);
    m_about->ShowVerHelp = false;
    m_about->ShowAboutHelp = false;
    m_about->ShowDelReg = true;
    m_about->OnException = [&p](const std::exception& e) { p.ShowException(e); };
}

void TfrmSimMain::ConnectActions()
{
    TMainActions& a = *m_actions;
    UserPrompts& p = *m_prompts;
    const auto on = [this, &p](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, guarded(p, [handler](bool) { handler(); }));
    };
    on(a.ActionConnect, [this] { m_connection->ActionConnectExecute(); });
    on(a.ActionCommEnv, [this] { m_connection->ActionCommEnvExecute(); });
    on(a.ActionSockInfo, [this] { m_connection->ActionSockInfoExecute(); });
    connect(a.ActionReplyToSender, &QAction::toggled, this, [this](bool on) { m_send->SetReplyToSender(on); });
    on(a.ActionExit, [this] { close(); });
    on(a.ActionSearchforHelpOn, [this] { ActionSearchforHelpOnExecute(); });
    on(a.ActionNew, [this] { Document.ActionNew(); });
    on(a.ActionOpen, [this] { Document.ActionOpen(); });
    on(a.ActionSave, [this] { Document.ActionSave(); });
    on(a.ActionSaveAs, [this] { Document.ActionSaveAs(); });
    on(a.ActionAbout, [this] { m_about->ShowAbout(); });
    m_editor->ConnectActions(a.ActionAddGroup, a.ActionAddCommand, a.ActionAddRoot, a.ActionDelete,
                             a.ActionProperty);
    m_editor->ShowSelection = [this](const CommandNode* node, const QString& name) {
        pnlSelected->setText(SelectionText(node, ToAnsi(name)));
    };

    Document.OnChanged = [this] { UpdateCaption(); };
    Document.OnStatus = [this](const QString& text) { StatusPanel[2]->setText(text); };
    Document.OnBusy = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    connect(tvCommand, &TCommandTreeView::tvCommandChange, this,
            guarded(p, [this](CommandNode* node, bool fill) { tvCommandChange(node, fill); }));
    // A double click or a typed character sends the selected command.
    const auto sendSelected = [this] {
        if (m_actions->ActionSendSelected->isEnabled())
            m_actions->ActionSendSelected->trigger();
    };
    connect(tvCommand, &TCommandTreeView::tvCommandDblClick, this, sendSelected);
    connect(tvCommand, &TCommandTreeView::tvCommandKeyPress, this, sendSelected);
    // Why a send did not go out shows where the hints do.
    m_send->OnNotice = [this](const QString& text) { StatusPanel[2]->setText(text); };
    UDPControl.OnReceive = [this](TCustomUDPSock& sender, std::int32_t size) {
        m_receive->UDPControlReceive(sender, size);
    };

    UDPControl.OnLogError = [this](const QString& text, const QString& caption) {
        m_prompts->Message(text, caption, static_cast<int>(PromptButton::Ok), PromptIcon::Error);
    };
    UDPControl.OnException = [this](const std::exception& e) {
        // Reception may have ended with it (the port is then closed): the bar says what holds.
        if (m_connection) {
            m_connection->ShowConnectionState();
            m_connection->ShowLocalEndpoint();
        }
        m_prompts->ShowException(e);
    };
    UDPControl.OnPriorityRefused = [this](TCustomUDPSock&, TThreadPriority wanted, TThreadPriority inForce) {
        StatusPanel[2]->setText(PriorityRefusedNote(wanted, inForce));
    };
    nedtPort->OnError = [this](const EInvalidOperation& e) { m_prompts->ShowException(e); };
    ipedtAddress->SetOnError([this](const EInvalidOperation& e) { m_prompts->ShowException(e); });
}

void TfrmSimMain::FormCreate()
{
    {
        BusyCursor cursor(Qt::BusyCursor);
        Document.SetModified(false);
        LogView->ResetColumnWidths();
        UDPControl.SetLogName(TraceFilePath(ProgramFolder(), QStringLiteral("Command.log")));
        UDPControl.LoadFromRegistry(kRegistryKey, QStringLiteral("Option"));
        if (!UDPControl.VanishedAddress().empty())
            StatusPanel[2]->setText(LocalAddressVanishedNote(UDPControl.VanishedAddress()));
        m_connection->ShowLocalEndpoint();
        guarded(*m_prompts, [this] { m_connection->ActionConnectExecute(); })();
        // The saved settings are applied only now, so the start-up opening is never traced.
        guarded(*m_prompts, [this] { LoadSettings(SettingsTarget()); })();
        m_logExport->SyncSwitches();
    }
    guarded(*m_prompts, [this] { m_about->CheckVersion(true); })();
    CommandLineTargets targets;
    targets.FileExists = [](const QString& path) { return QFileInfo::exists(path); };
    targets.LoadCommandFile = [this](const QString& path) { return Document.OpenFromCommandLine(path); };
    targets.LoadAutoReplyFile = [this](const QString& path) { return m_autoReply->LoadFromCommandLine(path); };
    targets.AutoReplyLoadFailed = [this] { m_autoReply->AutoReplyLoadFailed(); };
    guarded(*m_prompts, [&] { ProcessCommandLine(m_arguments, targets, *m_prompts); })();
    guarded(*m_prompts, [this] { OfferRecovery(Document, *m_prompts, RecoveryFolder()); })();
}

void TfrmSimMain::FormShow()
{
    // The log's real width is known only now that the window is laid out; the stored
    // placement, when there is one, overrides these.
    LogView->ResetColumnWidths();
    RestoreWindowPlacement(PlacementTarget());
}

bool TfrmSimMain::FormCloseQuery()
{
    if (!m_noQuestions && !Document.CanClose())
        return false;
    SaveWindowPlacement(PlacementTarget());
    return true;
}

void TfrmSimMain::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    {
        BusyCursor cursor(Qt::WaitCursor);
        // Each step on its own: a failure must not keep the later ones from saving.
        guarded(*m_prompts, [this] { SaveSettings(SettingsTarget()); })();
        guarded(*m_prompts, [this] { m_about->StoreVersion(); })();
        guarded(*m_prompts, [this] { UDPControl.SaveToRegistry(kRegistryKey, QStringLiteral("Option")); })();
        guarded(*m_prompts, [this] { UDPControl.Close(); })();
        UDPControl.SetWriteLog(false);
    }
    LogView->ClearTrafficLog();
    m_autoReply->ClearAutoReplyRows();
}

TSettingsTarget TfrmSimMain::SettingsTarget()
{
    TSettingsTarget s;
    s.ViewType = [this] { return LogView->GetViewType(); };
    s.SetViewType = [this](int v) { LogView->SetViewType(v); };
    s.SendMode = [this] { return m_send->GetSendMode(); };
    s.SetSendMode = [this](int v) { m_send->SetSendMode(v); };
    s.DefaultByteOrder = [this] { return m_send->GetDefaultByteOrder(); };
    s.SetDefaultByteOrder = [this](int v) { m_send->SetDefaultByteOrder(v); };
    s.History = [this] {
        QStringList entries;
        for (const AnsiString& e : m_send->History().Entries())
            entries << FromAnsi(e);
        return entries;
    };
    s.AppendHistory = [this](const QString& entry) {
        std::vector<AnsiString> entries = m_send->History().Entries();
        entries.push_back(ToAnsi(entry));
        m_send->SetHistory(entries);
    };
    s.UDPControl = &UDPControl;
    s.PeerAddress = [this] { return m_peer->KeptAddress(); };
    s.SetPeerAddress = [this](const QString& a) { m_peer->SetAddress(a); };
    s.PeerPort = [this] { return m_peer->KeptPort(); };
    s.SetPeerPort = [this](int p) { m_peer->SetPort(p); };
    s.ActionLog = m_trafficActions->ActionLog();
    s.ActionReplyToSender = m_actions->ActionReplyToSender;
    s.ActionHexLog = m_trafficActions->ActionHexLog();
    s.ActionAsciiLog = m_trafficActions->ActionAsciiLog();
    s.LogTimeColumn = [this] { return LogView->TimeColumnVisible(); };
    s.SetLogTimeColumn = [this](bool on) { LogView->SetTimeColumnVisible(on); };
    s.LogFilterRow = [this] { return LogView->FilterRowVisible(); };
    s.SetLogFilterRow = [this](bool on) { LogView->SetFilterRowVisible(on); };
    s.Language = [this] { return m_language->Setting(); };
    s.SetLanguage = [this](const QString& code) { m_language->SetSetting(code); };
    return s;
}

TWindowPlacementTarget TfrmSimMain::PlacementTarget()
{
    TWindowPlacementTarget p;
    p.Window = this;
    p.Header = LogView->Header();
    p.TopPaneTop = [this] { return centralWidget()->geometry().top() + Splitter2->geometry().top(); };
    p.TopPaneHeight = [this] { return Splitter2->sizes().value(0); };
    p.SetTopPaneHeight = [this](int h) {
        Splitter2->setSizes({h, std::max(0, Splitter2->height() - h - kSplitterSize)});
    };
    p.LeftPaneWidth = [this] { return Splitter1->sizes().value(0); };
    p.SetLeftPaneWidth = [this](int w) {
        Splitter1->setSizes({w, std::max(0, Splitter1->width() - w - kSplitterSize)});
    };
    return p;
}

void TfrmSimMain::FormResize()
{
    if (isMinimized() || !Splitter2 || !Splitter1)
        return;
    QList<int> vertical = Splitter2->sizes();
    const int available = Splitter2->height();
    const int top = UpperPaneHeight(available, 0, vertical.value(0));
    if (top != vertical.value(0)) {
        Splitter2->setSizes({top, std::max(0, available - top - kSplitterSize)});
    }
    QList<int> horizontal = Splitter1->sizes();
    const int width = Splitter1->width();
    const int left = LeftPaneWidth(width, horizontal.value(0));
    if (left != horizontal.value(0))
        Splitter1->setSizes({left, std::max(0, width - left - kSplitterSize)});
    LogView->CutColumnsToHeader();
}

void TfrmSimMain::CloseWithoutQuestions()
{
    m_noQuestions = true;
    close();
}

void TfrmSimMain::UpdateCaption()
{
    setWindowTitle(Document.Caption());
    m_actions->ActionSave->setEnabled(Document.SaveEnabled());
}

void TfrmSimMain::tvCommandChange(const CommandNode* node, bool fillDirectInput)
{
    const SelectionActions s = ActionsForSelection(node, cboCommand->currentText().isEmpty(), m_find->FindDone());
    TMainActions& a = *m_actions;
    if (s.directInput && fillDirectInput)
        m_send->SetDirectInput(*s.directInput);
    a.ActionSend->setEnabled(s.send);
    a.ActionSendSelected->setEnabled(s.sendSelected);
    a.ActionProperty->setEnabled(s.property);
    a.ActionAddGroup->setEnabled(s.addGroup);
    a.ActionAddCommand->setEnabled(s.addCommand);
    a.ActionDelete->setEnabled(s.deleteNode);
    a.ActionGoFind->setEnabled(s.goFind);
    a.ActionFindPrev->setEnabled(s.findPrev);
    a.ActionFindNext->setEnabled(s.findNext);
    tbSearch->setEnabled(s.search);
    pnlSelected->setText(SelectionText(node));
}

void TfrmSimMain::ActionSearchforHelpOnExecute()
{
    if (!m_help)
        m_help = new THelpViewer(this);
    m_help->ShowKeywordSearch();
}

bool TfrmSimMain::event(QEvent* e)
{
    // The long hint of the control under the mouse goes to the third panel, never
    // over the whole status bar.
    if (e->type() == QEvent::StatusTip) {
        StatusPanel[2]->setText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

void TfrmSimMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmSimMain::closeEvent(QCloseEvent* e)
{
    bool close = false;
    guarded(*m_prompts, [&] { close = FormCloseQuery(); })();
    if (!close) {
        e->ignore();
        return;
    }
    e->accept();
    FormDestroy();
}

void TfrmSimMain::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    FormResize();
}

} // namespace vpx
