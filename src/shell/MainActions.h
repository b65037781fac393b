#pragma once

// The main window's own actions, shared by its menus and tool bars. The traffic
// log's actions belong to the log view and are added to the same menus.

#include <QObject>

class QAction;
class QActionGroup;

namespace vpx {

class TMainActions : public QObject {
    Q_OBJECT
public:
    explicit TMainActions(QObject* parent);

    QAction* ActionNew;
    QAction* ActionOpen;
    QAction* ActionSave;
    QAction* ActionSaveAs;
    QAction* ActionExit;
    QAction* ActionCommEnv;
    QAction* ActionSockInfo;
    QAction* ActionConnect;
    QAction* ActionSend;
    QAction* ActionSendSelected;
    QAction* ActionMix;
    QAction* ActionText;
    QAction* ActionLittleEndian;
    QAction* ActionBigEndian;
    QAction* ActionAddGroup;
    QAction* ActionAddCommand;
    QAction* ActionAddRoot;
    QAction* ActionDelete;
    QAction* ActionProperty;
    QAction* ActionGoFind;
    QAction* ActionFindPrev;
    QAction* ActionFindNext;
    QAction* ActionAutoReturn;
    QAction* ActionAutoReturnOpen;
    QAction* ActionAutoReturnReload;
    QAction* ActionReplyToSender; // checkable: replies answer the sender instead of the tool bar's peer
    QAction* ActionSearchforHelpOn;
    QAction* ActionAbout;

    QActionGroup* ByteOrderGroup;
    QActionGroup* SendModeGroup;
};

} // namespace vpx
