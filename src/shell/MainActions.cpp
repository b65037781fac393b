#include "shell/MainActions.h"

#include "platform/ActionHint.h"
#include "shell/ToolImages.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>

#include <optional>

namespace vpx {

namespace {

enum Flags { None = 0, Checkable = 1, Checked = 2, Disabled = 4 };

struct ActionDef {
    QAction* TMainActions::*member;
    const char* objectName;
    const char* caption; // UTF-8
    QKeySequence shortcut;
    const char* hint;
    std::optional<ToolImage> image;
    int flags;
};

} // namespace

TMainActions::TMainActions(QObject* parent) : QObject(parent)
{
    using M = TMainActions;
    const QKeySequence none;
    const ActionDef defs[] = {
        {&M::ActionNew, "ActionNew", "新規作成(&N)", QKeySequence(Qt::CTRL | Qt::Key_N),
         "新規作成|ｺﾏﾝﾄﾞﾌｧｲﾙを新規に作成します", {}, None},
        {&M::ActionOpen, "ActionOpen", "開く(&O)", QKeySequence(Qt::CTRL | Qt::Key_O),
         "ﾌｧｲﾙを開く|ﾌｧｲﾙを開きます", ToolImage::Open, None},
        {&M::ActionSave, "ActionSave", "上書き保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S),
         "上書き保存|ﾌｧｲﾙを上書き保存します", ToolImage::Save, None},
        {&M::ActionSaveAs, "ActionSaveAs", "名前を付けて保存(&A)...", none,
         "名前を付けて保存|名前をつけてｺﾏﾝﾄﾞﾌｧｲﾙを保存します", {}, None},
        {&M::ActionExit, "ActionExit", "終了(&X)", none,
         "ｱﾌﾟﾘｹｰｼｮﾝの終了|このｱﾌﾟﾘｹｰｼｮﾝを終了します", ToolImage::Exit, None},
        {&M::ActionCommEnv, "ActionCommEnv", "通信設定(&C)...", none,
         "通信設定|通信ﾊﾟﾗﾒｰﾀの設定をします", ToolImage::CommEnv, None},
        {&M::ActionSockInfo, "ActionSockInfo", "ソケット情報(&I)...", none,
         "ソケット情報|ソケット情報を表示します", {}, None},
        {&M::ActionConnect, "ActionConnect", "接続(&C)", QKeySequence(Qt::CTRL | Qt::Key_P),
         "接続/切断|ﾎﾟｰﾄを開閉します", ToolImage::Connect, Checkable},
        {&M::ActionSend, "ActionSend", "送信(&T)", none, "ｺﾏﾝﾄﾞを送信|ｺﾏﾝﾄﾞを送信します",
         ToolImage::Send, Disabled},
        {&M::ActionSendSelected, "ActionSendSelected", "選択されているコマンドを送信(&S)", none,
         "選択されているｺﾏﾝﾄﾞを送信|選択されているｺﾏﾝﾄﾞを送信します", {}, Disabled},
        {&M::ActionMix, "ActionMix", "混合ﾓｰﾄﾞ(&M)", none,
         "ﾃｷｽﾄ・ﾊﾞｲﾅﾘ混合送信モード(直接入力用)|直接入力ｺﾏﾝﾄﾞの送信ﾓｰﾄﾞを切り替えます", ToolImage::Mix,
         Checkable | Checked},
        {&M::ActionText, "ActionText", "ﾃｷｽﾄﾓｰﾄﾞ(&T)", none,
         "ﾃｷｽﾄ送信ﾓｰﾄﾞ(直接入力用)|直接入力ｺﾏﾝﾄﾞの送信ﾓｰﾄﾞを切り替えます", ToolImage::Text, Checkable},
        {&M::ActionLittleEndian, "ActionLittleEndian", "リトルエンディアン(&L)", none,
         "ﾘﾄﾙｴﾝﾃﾞｨｱﾝ|送信ﾃﾞｰﾀのﾃﾞﾌｫﾙﾄﾊﾞｲﾄｵｰﾀﾞｰをﾘﾄﾙｴﾝﾃﾞｨｱﾝに設定します", ToolImage::LittleEndian,
         Checkable | Checked},
        {&M::ActionBigEndian, "ActionBigEndian", "ビッグエンディアン", none,
         "ﾋﾞｯｸﾞｴﾝﾃﾞｨｱﾝ|送信ﾃﾞｰﾀのﾃﾞﾌｫﾙﾄﾊﾞｲﾄｵｰﾀﾞｰをﾋﾞｯｸﾞｴﾝﾃﾞｨｱﾝに設定します", ToolImage::BigEndian,
         Checkable},
        {&M::ActionAddGroup, "ActionAddGroup", "グループ(&G)", none, "ｸﾞﾙｰﾌﾟの追加|ｸﾞﾙｰﾌﾟを追加します", {},
         Disabled},
        {&M::ActionAddCommand, "ActionAddCommand", "コマンド(&C)", none, "ｺﾏﾝﾄﾞの追加|ｺﾏﾝﾄﾞを追加します",
         {}, Disabled},
        {&M::ActionAddRoot, "ActionAddRoot", "ルートグループ(&R)", none,
         "ﾙｰﾄｸﾞﾙｰﾌﾟの追加|ﾙｰﾄｸﾞﾙｰﾌﾟを追加します", {}, None},
        {&M::ActionDelete, "ActionDelete", "削除(&D)", none, "削除|現在選択されている項目を削除します", {},
         Disabled},
        {&M::ActionProperty, "ActionProperty", "プロパティ(&P)...", none,
         "ﾌﾟﾛﾊﾟﾃｨ|現在選択されている項目のﾌﾟﾛﾊﾟﾃｨを編集します", {}, Disabled},
        {&M::ActionGoFind, "ActionGoFind", "検索(&F)...", QKeySequence(Qt::CTRL | Qt::Key_F),
         "検索|検索を実行します", {}, Disabled},
        {&M::ActionFindPrev, "ActionFindPrev", "上候補(&P)", QKeySequence(Qt::SHIFT | Qt::Key_F3),
         "上候補|上候補を検索します", {}, Disabled},
        {&M::ActionFindNext, "ActionFindNext", "下候補(&N)", QKeySequence(Qt::Key_F3),
         "下候補|下候補を検索します", {}, Disabled},
        {&M::ActionAutoReturn, "ActionAutoReturn", "自動返信(&A)", QKeySequence(Qt::CTRL | Qt::Key_Q),
         "自動返信|自動返信の有効／無効を切り替えます", ToolImage::AutoReturn, Checkable | Disabled},
        {&M::ActionAutoReturnOpen, "ActionAutoReturnOpen", "開く(&O)...", none, "開く|自動返信ﾌｧｲﾙを開きます",
         {}, None},
        {&M::ActionAutoReturnReload, "ActionAutoReturnReload", "リロード(&R)", QKeySequence(Qt::CTRL | Qt::Key_R),
         "リロード|自動返信ﾌｧｲﾙを開き直します", ToolImage::Reload, Disabled},
        {&M::ActionSearchforHelpOn, "ActionSearchforHelpOn", "トピックの検索(&H)", none, nullptr,
         ToolImage::Help, None},
        {&M::ActionAbout, "ActionAbout", "バージョン情報(&A)", none,
         "ﾊﾞｰｼﾞｮﾝ情報|このｱﾌﾟﾘｹｰｼｮﾝのﾊﾞｰｼﾞｮﾝ情報を表示します", {}, None},
    };
    for (const ActionDef& s : defs) {
        auto* action = new QAction(QString::fromUtf8(s.caption), this);
        action->setObjectName(QString::fromLatin1(s.objectName));
        if (!s.shortcut.isEmpty())
            action->setShortcut(s.shortcut);
        if (s.hint)
            SetActionHint(*action, QString::fromUtf8(s.hint));
        if (s.image)
            action->setIcon(ToolImages::Icon(*s.image));
        action->setCheckable(s.flags & Checkable);
        action->setChecked(s.flags & Checked);
        action->setEnabled(!(s.flags & Disabled));
        this->*s.member = action;
    }

    ActionReplyToSender = new QAction(QCoreApplication::translate("TMainActions", "送信元へ返信(&S)"), this);
    ActionReplyToSender->setObjectName(QStringLiteral("ActionReplyToSender"));
    ActionReplyToSender->setCheckable(true);
    SetActionHint(*ActionReplyToSender,
                  QCoreApplication::translate("TMainActions", "送信元へ返信|自動返信を受信データの送信元へ送ります"
                                                              "（オフ：ツールバーの送信先へ）"));

    ByteOrderGroup = new QActionGroup(this);
    ByteOrderGroup->addAction(ActionLittleEndian);
    ByteOrderGroup->addAction(ActionBigEndian);
    SendModeGroup = new QActionGroup(this);
    SendModeGroup->addAction(ActionMix);
    SendModeGroup->addAction(ActionText);
}

} // namespace vpx
