<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>AboutDlg</name>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>了解(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>ﾚｼﾞｽﾄﾘ情報を終了時に削除する</source>
        <translation>Delete the settings when the program ends</translation>
    </message>
    <message>
        <source>このｱﾌﾟﾘｹｰｼｮﾝを削除する前にﾁｪｯｸして下さい</source>
        <translation>Tick this before you remove the application</translation>
    </message>
</context>
<context>
    <name>AutoReplyCommands</name>
    <message>
        <source>自動返信ﾃﾞｰﾀ</source>
        <translation>Auto-reply data</translation>
    </message>
    <message>
        <source>自動返信ファイルのオープンに失敗しました</source>
        <translation>The auto-reply file could not be opened</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>有効なデータがありませんでした</source>
        <translation>The file held no valid data</translation>
    </message>
    <message>
        <source>自動返信データ</source>
        <translation>Auto-reply data</translation>
    </message>
    <message>
        <source>自動返信ファイルの選択</source>
        <translation>Choose an auto-reply file</translation>
    </message>
    <message>
        <source>自動返信ﾌｧｲﾙ(*.vpa)</source>
        <translation>Auto-reply files (*.vpa)</translation>
    </message>
    <message>
        <source>リロード対象の自動返信ファイルが見つかりません</source>
        <translation>The auto-reply file to reload cannot be found</translation>
    </message>
    <message>
        <source>自動返信ﾃﾞｰﾀ - %1</source>
        <translation>Auto-reply data - %1</translation>
    </message>
</context>
<context>
    <name>AutoReplyModel</name>
    <message>
        <source>検索</source>
        <translation>Cmd</translation>
    </message>
    <message>
        <source>指定</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>種別</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>比較ﾃﾞｰﾀ</source>
        <translation>Compare data</translation>
    </message>
    <message>
        <source>受信ｺﾒﾝﾄ</source>
        <translation>Receive comment</translation>
    </message>
    <message>
        <source>送信ｺﾒﾝﾄ</source>
        <translation>Send comment</translation>
    </message>
    <message>
        <source>送信ﾃﾞｰﾀ</source>
        <translation>Send data</translation>
    </message>
</context>
<context>
    <name>ChgVerDlg</name>
    <message>
        <source>このアプリケーションのバージョンが変更されました。</source>
        <translation>The version of this application has changed.</translation>
    </message>
    <message>
        <source>以前のﾊﾞｰｼﾞｮﾝ ： Version </source>
        <translation>Previous version: Version </translation>
    </message>
    <message>
        <source>今のﾊﾞｰｼﾞｮﾝ ： Version </source>
        <translation>Current version: Version </translation>
    </message>
    <message>
        <source>このﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽを閉じます</source>
        <translation>Closes this dialog box</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>このﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽに関するﾍﾙﾌﾟを表示します</source>
        <translation>Shows help about this dialog box</translation>
    </message>
</context>
<context>
    <name>CommandDocument</name>
    <message>
        <source>ｺﾏﾝﾄﾞﾌｧｲﾙ(*.vpx)</source>
        <translation>Command files (*.vpx)</translation>
    </message>
    <message>
        <source>このファイルは UTF-8 から変換して読み込みました。<byte value="xd"/>
上書きすると、シフトJIS で保存されます。</source>
        <translation>This file was converted from UTF-8 when it was read.<byte value="xd"/>
Saving it will write Shift JIS.</translation>
    </message>
    <message>
        <source>このファイルには読み込めなかった行が %1 行あります。<byte value="xd"/>
上書きすると、それらの行は失われます。</source>
        <translation>This file has %1 lines that could not be read.<byte value="xd"/>
Saving it will lose those lines.</translation>
    </message>
    <message>
        <source>上書き保存しますか？</source>
        <translation>Save over it?</translation>
    </message>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>(変更)</source>
        <translation>(modified)</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>このファイルは UTF-8 で書かれているようです。<byte value="xd"/>
UTF-8 として読み込みますか？</source>
        <translation>This file seems to be written in UTF-8.<byte value="xd"/>
Read it as UTF-8?</translation>
    </message>
    <message>
        <source>%1 行を読み込めませんでした</source>
        <translation>%1 lines could not be read</translation>
    </message>
    <message>
        <source>コマンドデータが変更されています。<byte value="xd"/>
保存しますか？</source>
        <translation>The command data has been changed.<byte value="xd"/>
Save it?</translation>
    </message>
    <message>
        <source>コマンドファイルの選択</source>
        <translation>Choose a command file</translation>
    </message>
</context>
<context>
    <name>CommandEditor</name>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>新しいｸﾞﾙｰﾌﾟ</source>
        <translation>New group</translation>
    </message>
    <message>
        <source>新しいｺﾏﾝﾄﾞ</source>
        <translation>New command</translation>
    </message>
    <message>
        <source>&apos;%1&apos;を削除します。<byte value="xd"/>
よろしいですか？</source>
        <translation>&apos;%1&apos; will be deleted.<byte value="xd"/>
Are you sure?</translation>
    </message>
</context>
<context>
    <name>CommandFile</name>
    <message>
        <source>コマンドファイルのオープンに失敗しました</source>
        <translation>The command file could not be opened</translation>
    </message>
    <message>
        <source>コマンドファイルの作成に失敗しました</source>
        <translation>The command file could not be created</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>コマンドラインオプションエラー</source>
        <translation>Command-line option error</translation>
    </message>
    <message>
        <source>%1 オプションの後にファイル名が指定されていません</source>
        <translation>No file name follows the %1 option</translation>
    </message>
    <message>
        <source>%1 オプションで指定されたファイル<byte value="xd"/>
&quot;%2&quot;<byte value="xd"/>
が存在しません</source>
        <translation>The file named with the %1 option<byte value="xd"/>
&quot;%2&quot;<byte value="xd"/>
does not exist</translation>
    </message>
    <message>
        <source>%1 オプションで指定されたファイル<byte value="xd"/>
&quot;%2&quot;<byte value="xd"/>
を読み込み中にエラーが発生しました</source>
        <translation>The file named with the %1 option<byte value="xd"/>
&quot;%2&quot;<byte value="xd"/>
could not be read</translation>
    </message>
    <message>
        <source>ファイル<byte value="xd"/>
&quot;%1&quot;<byte value="xd"/>
が存在しません</source>
        <translation>The file<byte value="xd"/>
&quot;%1&quot;<byte value="xd"/>
does not exist</translation>
    </message>
    <message>
        <source>ファイル<byte value="xd"/>
&quot;%1&quot;<byte value="xd"/>
はコマンドファイル(*.vpx)でも自動返信ファイル(*.vpa)でもありません</source>
        <translation>The file<byte value="xd"/>
&quot;%1&quot;<byte value="xd"/>
is neither a command file (*.vpx) nor an auto-reply file (*.vpa)</translation>
    </message>
    <message>
        <source>ファイル<byte value="xd"/>
&quot;%1&quot;<byte value="xd"/>
を読み込み中にエラーが発生しました</source>
        <translation>The file<byte value="xd"/>
&quot;%1&quot;<byte value="xd"/>
could not be read</translation>
    </message>
</context>
<context>
    <name>CommandPropDlg</name>
    <message>
        <source>ｺﾏﾝﾄﾞのﾌﾟﾛﾊﾟﾃｨ</source>
        <translation>Command properties</translation>
    </message>
    <message>
        <source>コマンド名(&amp;N)：</source>
        <translation>Command &amp;name:</translation>
    </message>
    <message>
        <source>コマンド(&amp;C)：</source>
        <translation>&amp;Command:</translation>
    </message>
    <message>
        <source>バイトオーダー(&amp;B)</source>
        <translation>&amp;Byte order</translation>
    </message>
    <message>
        <source>デフォルトを使用(&amp;D)</source>
        <translation>Use the &amp;default</translation>
    </message>
    <message>
        <source>リトルエンディアン(&amp;L)</source>
        <translation>&amp;Little-endian</translation>
    </message>
    <message>
        <source>ビッグエンディアン(&amp;B)</source>
        <translation>&amp;Big-endian</translation>
    </message>
    <message>
        <source>送信モード(&amp;M)</source>
        <translation>Send &amp;mode</translation>
    </message>
    <message>
        <source>混合モード(&amp;B)</source>
        <translation>Mi&amp;xed mode</translation>
    </message>
    <message>
        <source>テキストモード(&amp;T)</source>
        <translation>&amp;Text mode</translation>
    </message>
</context>
<context>
    <name>CommandRecovery</name>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>前回の終了時に保存されていなかったコマンドデータ「%1」があります。<byte value="xd"/>
復元しますか？<byte value="xd"/>
（「いいえ」を選ぶと、このデータは破棄されます）</source>
        <translation>There is command data &quot;%1&quot; that was not saved when the program last ended.<byte value="xd"/>
Restore it?<byte value="xd"/>
(Choosing &quot;No&quot; discards this data)</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>CommandSelection</name>
    <message>
        <source>選択されていません</source>
        <translation>Nothing selected</translation>
    </message>
    <message>
        <source>選択されているｺﾏﾝﾄﾞ：</source>
        <translation>Selected command: </translation>
    </message>
    <message>
        <source>選択されているｸﾞﾙｰﾌﾟ：</source>
        <translation>Selected group: </translation>
    </message>
</context>
<context>
    <name>CommandTreeModel</name>
    <message>
        <source>ｺﾏﾝﾄﾞ</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>ｸﾞﾙｰﾌﾟ</source>
        <translation>Group</translation>
    </message>
</context>
<context>
    <name>CommandTreeView</name>
    <message>
        <source>このｸﾞﾙｰﾌﾟに移動(&amp;M)</source>
        <translation>&amp;Move into this group</translation>
    </message>
    <message>
        <source>この項目の前に移動(&amp;B)</source>
        <translation>Move &amp;before this item</translation>
    </message>
    <message>
        <source>この項目の後ろに移動(&amp;A)</source>
        <translation>Move &amp;after this item</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>ConnectionCommands</name>
    <message>
        <source>切断(&amp;P)</source>
        <translation>Disconnect (&amp;P)</translation>
    </message>
    <message>
        <source>接続(&amp;P)</source>
        <translation>Connect (&amp;P)</translation>
    </message>
    <message>
        <source>接続中</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>未接続</source>
        <translation>Closed</translation>
    </message>
    <message>
        <source>ポートのオープンに失敗しました。<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>The port could not be opened.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>DebugLog</name>
    <message>
        <source>デバッグログ作成失敗</source>
        <translation>The debug log could not be written</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>FindDlg</name>
    <message>
        <source>検索</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>検索文字列(&amp;F)：</source>
        <translation>&amp;Find what:</translation>
    </message>
    <message>
        <source>検索対象(&amp;T)</source>
        <translation>Look in (&amp;T)</translation>
    </message>
    <message>
        <source>ｸﾞﾙｰﾌﾟ名(&amp;G)</source>
        <translation>&amp;Group names</translation>
    </message>
    <message>
        <source>ｺﾏﾝﾄﾞ名(&amp;N)</source>
        <translation>Command &amp;names</translation>
    </message>
    <message>
        <source>ｺﾏﾝﾄﾞ文字列(&amp;S)</source>
        <translation>Command &amp;strings</translation>
    </message>
    <message>
        <source>上候補(&amp;P)</source>
        <translation>Find &amp;previous</translation>
    </message>
    <message>
        <source>下候補(&amp;N)</source>
        <translation>Find &amp;next</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>GroupPropDlg</name>
    <message>
        <source>ｸﾞﾙｰﾌﾟのﾌﾟﾛﾊﾟﾃｨ</source>
        <translation>Group properties</translation>
    </message>
    <message>
        <source>グループ名(&amp;N)：</source>
        <translation>Group &amp;name:</translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>Vorpex ヘルプ</source>
        <translation>Vorpex Help</translation>
    </message>
    <message>
        <source>キーワードを入力してください(&amp;W):</source>
        <translation>Type a key&amp;word:</translation>
    </message>
    <message>
        <source>キーワード</source>
        <translation>Keywords</translation>
    </message>
    <message>
        <source>表示(&amp;D)</source>
        <translation>&amp;Display</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>InfoDlg</name>
    <message>
        <source>ソケット情報</source>
        <translation>Socket information</translation>
    </message>
    <message>
        <source>説明：</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>状態：</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>ローカルＩＰアドレス：</source>
        <translation>Local IP address:</translation>
    </message>
    <message>
        <source>ローカルポート番号：</source>
        <translation>Local port:</translation>
    </message>
    <message>
        <source>最大ソケット数：</source>
        <translation>Maximum sockets:</translation>
    </message>
    <message>
        <source>最大データグラムサイズ：</source>
        <translation>Maximum datagram size:</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>表示言語(&amp;G)</source>
        <translation>Lan&amp;guage</translation>
    </message>
    <message>
        <source>システムの設定に合わせる(&amp;S)</source>
        <translation>Follow the &amp;system</translation>
    </message>
    <message>
        <source>表示言語の変更は次回の起動時に有効になります。</source>
        <translation>The new language takes effect the next time Vorpex starts.</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>コマンド入力</source>
        <translation>Command input</translation>
    </message>
    <message>
        <source>ｺﾏﾝﾄﾞ</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>選択されていません</source>
        <translation>Nothing selected</translation>
    </message>
    <message>
        <source>通信ログ</source>
        <translation>Traffic log</translation>
    </message>
    <message>
        <source>自動返信ﾃﾞｰﾀ</source>
        <translation>Auto-reply data</translation>
    </message>
    <message>
        <source>未接続</source>
        <translation>Closed</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>自動返信(&amp;A)</source>
        <translation>&amp;Auto-reply</translation>
    </message>
    <message>
        <source>検索(&amp;S)</source>
        <translation>&amp;Search</translation>
    </message>
    <message>
        <source>コマンド(&amp;C)</source>
        <translation>&amp;Command</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>バイトオーダー(&amp;B)</source>
        <translation>&amp;Byte order</translation>
    </message>
    <message>
        <source>送信モード(&amp;M)</source>
        <translation>Send &amp;mode</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>種類(&amp;T)</source>
        <translation>&amp;Type</translation>
    </message>
    <message>
        <source>オプション(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>ログファイル種別(&amp;T)</source>
        <translation>Log file &amp;type</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Vorpexについて</source>
        <translation>About Vorpex</translation>
    </message>
</context>
<context>
    <name>MainActions</name>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>新規作成|ｺﾏﾝﾄﾞﾌｧｲﾙを新規に作成します</source>
        <translation>New|Creates a new command file</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙを開く|ﾌｧｲﾙを開きます</source>
        <translation>Open file|Opens a file</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>上書き保存|ﾌｧｲﾙを上書き保存します</source>
        <translation>Save|Saves the file</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>名前を付けて保存|名前をつけてｺﾏﾝﾄﾞﾌｧｲﾙを保存します</source>
        <translation>Save As|Saves the command file under a new name</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝの終了|このｱﾌﾟﾘｹｰｼｮﾝを終了します</source>
        <translation>Exit|Ends this application</translation>
    </message>
    <message>
        <source>通信設定(&amp;C)...</source>
        <translation>&amp;Communication settings...</translation>
    </message>
    <message>
        <source>通信設定|通信ﾊﾟﾗﾒｰﾀの設定をします</source>
        <translation>Communication settings|Sets the communication parameters</translation>
    </message>
    <message>
        <source>ソケット情報(&amp;I)...</source>
        <translation>Socket &amp;information...</translation>
    </message>
    <message>
        <source>ソケット情報|ソケット情報を表示します</source>
        <translation>Socket information|Shows information about the socket</translation>
    </message>
    <message>
        <source>接続(&amp;C)</source>
        <translation>&amp;Connect</translation>
    </message>
    <message>
        <source>接続/切断|ﾎﾟｰﾄを開閉します</source>
        <translation>Connect/disconnect|Opens or closes the port</translation>
    </message>
    <message>
        <source>送信(&amp;T)</source>
        <translation>Send (&amp;T)</translation>
    </message>
    <message>
        <source>ｺﾏﾝﾄﾞを送信|ｺﾏﾝﾄﾞを送信します</source>
        <translation>Send command|Sends the command</translation>
    </message>
    <message>
        <source>選択されているコマンドを送信(&amp;S)</source>
        <translation>&amp;Send the selected command</translation>
    </message>
    <message>
        <source>選択されているｺﾏﾝﾄﾞを送信|選択されているｺﾏﾝﾄﾞを送信します</source>
        <translation>Send the selected command|Sends the command selected in the tree</translation>
    </message>
    <message>
        <source>混合ﾓｰﾄﾞ(&amp;M)</source>
        <translation>&amp;Mixed mode</translation>
    </message>
    <message>
        <source>ﾃｷｽﾄ・ﾊﾞｲﾅﾘ混合送信モード(直接入力用)|直接入力ｺﾏﾝﾄﾞの送信ﾓｰﾄﾞを切り替えます</source>
        <translation>Mixed text and binary send mode (typed commands)|Switches the send mode of typed commands</translation>
    </message>
    <message>
        <source>ﾃｷｽﾄﾓｰﾄﾞ(&amp;T)</source>
        <translation>&amp;Text mode</translation>
    </message>
    <message>
        <source>ﾃｷｽﾄ送信ﾓｰﾄﾞ(直接入力用)|直接入力ｺﾏﾝﾄﾞの送信ﾓｰﾄﾞを切り替えます</source>
        <translation>Text send mode (typed commands)|Switches the send mode of typed commands</translation>
    </message>
    <message>
        <source>リトルエンディアン(&amp;L)</source>
        <translation>&amp;Little-endian</translation>
    </message>
    <message>
        <source>ﾘﾄﾙｴﾝﾃﾞｨｱﾝ|送信ﾃﾞｰﾀのﾃﾞﾌｫﾙﾄﾊﾞｲﾄｵｰﾀﾞｰをﾘﾄﾙｴﾝﾃﾞｨｱﾝに設定します</source>
        <translation>Little-endian|Sets the default byte order of sent data to little-endian</translation>
    </message>
    <message>
        <source>ビッグエンディアン</source>
        <translation>Big-endian</translation>
    </message>
    <message>
        <source>ﾋﾞｯｸﾞｴﾝﾃﾞｨｱﾝ|送信ﾃﾞｰﾀのﾃﾞﾌｫﾙﾄﾊﾞｲﾄｵｰﾀﾞｰをﾋﾞｯｸﾞｴﾝﾃﾞｨｱﾝに設定します</source>
        <translation>Big-endian|Sets the default byte order of sent data to big-endian</translation>
    </message>
    <message>
        <source>グループ(&amp;G)</source>
        <translation>&amp;Group</translation>
    </message>
    <message>
        <source>ｸﾞﾙｰﾌﾟの追加|ｸﾞﾙｰﾌﾟを追加します</source>
        <translation>Add group|Adds a group</translation>
    </message>
    <message>
        <source>コマンド(&amp;C)</source>
        <translation>&amp;Command</translation>
    </message>
    <message>
        <source>ｺﾏﾝﾄﾞの追加|ｺﾏﾝﾄﾞを追加します</source>
        <translation>Add command|Adds a command</translation>
    </message>
    <message>
        <source>ルートグループ(&amp;R)</source>
        <translation>&amp;Root group</translation>
    </message>
    <message>
        <source>ﾙｰﾄｸﾞﾙｰﾌﾟの追加|ﾙｰﾄｸﾞﾙｰﾌﾟを追加します</source>
        <translation>Add root group|Adds a root group</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>削除|現在選択されている項目を削除します</source>
        <translation>Delete|Deletes the selected item</translation>
    </message>
    <message>
        <source>プロパティ(&amp;P)...</source>
        <translation>&amp;Properties...</translation>
    </message>
    <message>
        <source>ﾌﾟﾛﾊﾟﾃｨ|現在選択されている項目のﾌﾟﾛﾊﾟﾃｨを編集します</source>
        <translation>Properties|Edits the properties of the selected item</translation>
    </message>
    <message>
        <source>検索(&amp;F)...</source>
        <translation>&amp;Find...</translation>
    </message>
    <message>
        <source>検索|検索を実行します</source>
        <translation>Find|Finds a group or command</translation>
    </message>
    <message>
        <source>上候補(&amp;P)</source>
        <translation>Find &amp;previous</translation>
    </message>
    <message>
        <source>上候補|上候補を検索します</source>
        <translation>Find previous|Finds the previous match</translation>
    </message>
    <message>
        <source>下候補(&amp;N)</source>
        <translation>Find &amp;next</translation>
    </message>
    <message>
        <source>下候補|下候補を検索します</source>
        <translation>Find next|Finds the next match</translation>
    </message>
    <message>
        <source>自動返信(&amp;A)</source>
        <translation>&amp;Auto-reply</translation>
    </message>
    <message>
        <source>自動返信|自動返信の有効／無効を切り替えます</source>
        <translation>Auto-reply|Turns auto-reply on or off</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>開く|自動返信ﾌｧｲﾙを開きます</source>
        <translation>Open|Opens an auto-reply file</translation>
    </message>
    <message>
        <source>リロード(&amp;R)</source>
        <translation>&amp;Reload</translation>
    </message>
    <message>
        <source>リロード|自動返信ﾌｧｲﾙを開き直します</source>
        <translation>Reload|Reads the auto-reply file again</translation>
    </message>
    <message>
        <source>トピックの検索(&amp;H)</source>
        <translation>&amp;Help topics</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ情報|このｱﾌﾟﾘｹｰｼｮﾝのﾊﾞｰｼﾞｮﾝ情報を表示します</source>
        <translation>About|Shows the version of this application</translation>
    </message>
</context>
<context>
    <name>NumEdit</name>
    <message>
        <source>%1 から %2 の間の値でなければなりません</source>
        <translation>The value must be between %1 and %2</translation>
    </message>
</context>
<context>
    <name>PayloadPreview</name>
    <message>
        <source>… (%1 ﾊﾞｲﾄ)</source>
        <translation>… (%1 bytes)</translation>
    </message>
    <message>
        <source>%1 文字目: %2</source>
        <translation>Character %1: %2</translation>
    </message>
    <message>
        <source>ｶﾝﾏの間が空です</source>
        <translation>Nothing between the commas</translation>
    </message>
    <message>
        <source>閉じた引用符の後に文字があります</source>
        <translation>Characters after the closing quote</translation>
    </message>
    <message>
        <source>知らないｷｰﾜｰﾄﾞです</source>
        <translation>Unknown keyword</translation>
    </message>
    <message>
        <source>数値として読めないか、範囲を超えています</source>
        <translation>Not a number, or out of range</translation>
    </message>
    <message>
        <source>ﾜｲﾙﾄﾞｶｰﾄﾞは比較ﾃﾞｰﾀにだけ書けます</source>
        <translation>Wildcards are allowed only in comparison data</translation>
    </message>
    <message>
        <source>長さ・XOR・合計・CRCの範囲の中にﾜｲﾙﾄﾞｶｰﾄﾞは書けません</source>
        <translation>No wildcards inside a length, XOR, sum or CRC range</translation>
    </message>
    <message>
        <source>%CRCE の後には (ｱﾙｺﾞﾘｽﾞﾑ名) が要ります</source>
        <translation>%CRCE needs (algorithm name) after it</translation>
    </message>
    <message>
        <source>知らないCRCｱﾙｺﾞﾘｽﾞﾑ名です</source>
        <translation>Unknown CRC algorithm name</translation>
    </message>
    <message>
        <source>%1 文字目の引用符が閉じていないため、そこから後は送りません</source>
        <translation>The quote at character %1 is not closed: nothing from there on is sent</translation>
    </message>
    <message>
        <source>%1 文字目の範囲の終わりには始まりがなく、何も加えません</source>
        <translation>The range end at character %1 has no start and adds nothing</translation>
    </message>
    <message>
        <source>%1 文字目で始まる範囲は終わりがなく、何も加えません</source>
        <translation>The range started at character %1 is never ended and adds nothing</translation>
    </message>
    <message>
        <source>警告: %1</source>
        <translation>Warning: %1</translation>
    </message>
    <message>
        <source>%1（警告: %2）</source>
        <translation>%1 (warning: %2)</translation>
    </message>
    <message>
        <source>名前は英字で始まる英字・数字・_ です（返信では後に +1 か -1 を付けられます）</source>
        <translation>A name is letters, digits and _, beginning with a letter (in a reply +1 or -1 may follow it)</translation>
    </message>
    <message>
        <source>同じ名前を二度取り込んでいます</source>
        <translation>The same name is captured twice</translation>
    </message>
    <message>
        <source>比較ﾃﾞｰﾀが取り込まない名前です</source>
        <translation>The comparison data captures no such name</translation>
    </message>
    <message>
        <source>* で取り込んだﾊﾞｲﾄ列は数値として書けません</source>
        <translation>Bytes captured with * cannot be written as a number</translation>
    </message>
    <message>
        <source>%DELAY・%DROP・%DUP は返信の先頭に一度ずつ書けます</source>
        <translation>%DELAY, %DROP and %DUP go at the start of a reply, once each</translation>
    </message>
    <message>
        <source>%DELAY(ﾐﾘ秒)・%DROP(0～100)・%DUP(1～100) の数値がないか範囲外です</source>
        <translation>%DELAY(ms), %DROP(0-100) or %DUP(1-100) lacks its number or it is out of range</translation>
    </message>
</context>
<context>
    <name>PayloadSender</name>
    <message>
        <source>送信先のｱﾄﾞﾚｽとﾎﾟｰﾄを設定してください</source>
        <translation>Set the address and port to send to</translation>
    </message>
    <message>
        <source>送信先のｱﾄﾞﾚｽを設定してください</source>
        <translation>Set the address to send to</translation>
    </message>
    <message>
        <source>送信先のﾎﾟｰﾄを設定してください</source>
        <translation>Set the port to send to</translation>
    </message>
    <message>
        <source>ﾎﾟｰﾄが閉じているため送信しませんでした</source>
        <translation>Not sent: the port is closed</translation>
    </message>
</context>
<context>
    <name>RadioGroup</name>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>予期しないエラーが発生しました</source>
        <translation>An unexpected error occurred</translation>
    </message>
</context>
<context>
    <name>TMainActions</name>
    <message>
        <source>送信元へ返信(&amp;S)</source>
        <translation>Reply to &amp;sender</translation>
    </message>
    <message>
        <source>送信元へ返信|自動返信を受信データの送信元へ送ります（オフ：ツールバーの送信先へ）</source>
        <translation>Reply to sender|Sends auto-replies to the sender of the received data (off: to the toolbar&apos;s destination)</translation>
    </message>
</context>
<context>
    <name>TPayloadSender</name>
    <message>
        <source>送信しませんでした（%1）</source>
        <translation>Not sent (%1)</translation>
    </message>
    <message>
        <source>送信しました（警告: %1）</source>
        <translation>Sent (warning: %1)</translation>
    </message>
</context>
<context>
    <name>TPreviewLine</name>
    <message>
        <source>ｸﾘｯｸするとその位置を選択します</source>
        <translation>Click to select that position</translation>
    </message>
</context>
<context>
    <name>TRepeatCommands</name>
    <message>
        <source>繰り返し送信(&amp;R)</source>
        <translation>&amp;Repeat send</translation>
    </message>
    <message>
        <source>一定の間隔で送信します（もう一度押すかEscで停止）</source>
        <translation>Sends at a fixed interval (press again or Esc to stop)</translation>
    </message>
    <message>
        <source>グループを送信(&amp;G)</source>
        <translation>Send &amp;group</translation>
    </message>
    <message>
        <source>選択されているグループのコマンドを順に送信します</source>
        <translation>Sends the commands of the selected group in turn</translation>
    </message>
    <message>
        <source>送信を停止</source>
        <translation>Stop sending</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>停止するまで</source>
        <translation>Until stopped</translation>
    </message>
    <message>
        <source>コマンド入力</source>
        <translation>Command input</translation>
    </message>
    <message>
        <source>選択されているコマンド</source>
        <translation>Selected command</translation>
    </message>
    <message>
        <source>間隔：</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <source>回数：</source>
        <translation>Count:</translation>
    </message>
    <message>
        <source>送信するもの：</source>
        <translation>Send:</translation>
    </message>
    <message>
        <source>停止しました</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>ﾎﾟｰﾄが閉じたため停止しました</source>
        <translation>Stopped: the port was closed</translation>
    </message>
    <message>
        <source>繰り返すコマンドを選択してください</source>
        <translation>Select the command to repeat</translation>
    </message>
    <message>
        <source>コマンド入力が空です</source>
        <translation>The command input is empty</translation>
    </message>
    <message>
        <source>送信するコマンドのあるグループを選択してください</source>
        <translation>Select a group that holds commands to send</translation>
    </message>
    <message>
        <source>送信しませんでした（%1%2）</source>
        <translation>Not sent (%1%2)</translation>
    </message>
    <message>
        <source>ﾎﾟｰﾄが閉じているため送信しませんでした</source>
        <translation>Not sent: the port is closed</translation>
    </message>
    <message>
        <source>繰り返し送信中：%1 回</source>
        <translation>Repeating: sent %1 times</translation>
    </message>
    <message>
        <source>グループを送信中：%1 / %2</source>
        <translation>Sending group: %1 / %2</translation>
    </message>
    <message>
        <source>%1 回送信しました</source>
        <translation>Sent %1 times</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>TRepeatSender</name>
    <message>
        <source>送信に失敗したため停止しました</source>
        <translation>Stopped: sending failed</translation>
    </message>
</context>
<context>
    <name>TrafficLog</name>
    <message>
        <source>（破棄）</source>
        <translation> (dropped)</translation>
    </message>
</context>
<context>
    <name>TTrafficExportCommands</name>
    <message>
        <source>通信ログの保存...</source>
        <translation>Save traffic log...</translation>
    </message>
    <message>
        <source>通信ログの保存|通信ログをpcapngまたはCSVファイルに保存します</source>
        <translation>Save traffic log|Saves the traffic log to a pcapng or CSV file</translation>
    </message>
    <message>
        <source>選択行の保存...</source>
        <translation>Save selected rows...</translation>
    </message>
    <message>
        <source>選択行の保存|選択した通信ログの行をpcapngまたはCSVファイルに保存します</source>
        <translation>Save selected rows|Saves the selected rows of the traffic log to a pcapng or CSV file</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>コピー|選択した通信ログの行をテキストでコピーします</source>
        <translation>Copy|Copies the selected rows of the traffic log as text</translation>
    </message>
    <message>
        <source>時刻(&amp;M)</source>
        <translation>Ti&amp;me</translation>
    </message>
    <message>
        <source>時刻|通信ログに時刻の列を表示します</source>
        <translation>Time|Shows a time column in the traffic log</translation>
    </message>
    <message>
        <source>フィルタ(&amp;F)</source>
        <translation>&amp;Filter</translation>
    </message>
    <message>
        <source>フィルタ|通信ログの上にフィルタ行を表示します</source>
        <translation>Filter|Shows a filter row above the traffic log</translation>
    </message>
    <message>
        <source>受信</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>受信(一致)</source>
        <translation>Received (matched)</translation>
    </message>
    <message>
        <source>送信</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>自動返信</source>
        <translation>Auto-reply</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>長さ</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>データ</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>自動返信(破棄)</source>
        <translation>Auto-reply (dropped)</translation>
    </message>
    <message>
        <source>取り込み値</source>
        <translation>Captures</translation>
    </message>
    <message>
        <source>チェック</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>通信ログの保存</source>
        <translation>Save traffic log</translation>
    </message>
    <message>
        <source>pcapngファイル (*.pcapng)</source>
        <translation>pcapng files (*.pcapng)</translation>
    </message>
    <message>
        <source>CSVファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>通信ログの保存に失敗しました</source>
        <translation>The traffic log could not be saved</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>TTrafficFilterBar</name>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <source>受信</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>送信</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>自動返信</source>
        <translation>Auto-reply</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>データ (例: 0x02, ?, *)</source>
        <translation>Data (e.g. 0x02, ?, *)</translation>
    </message>
    <message>
        <source>表示件数</source>
        <translation>Rows shown</translation>
    </message>
    <message>
        <source>%1文字目が正しくありません</source>
        <translation>Character %1 is not valid</translation>
    </message>
    <message>
        <source>ポートは0～65535です</source>
        <translation>The port is 0 to 65535</translation>
    </message>
</context>
<context>
    <name>TTrafficLogView</name>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
</context>
<context>
    <name>TfrmUDPProperty</name>
    <message>
        <source>ローカルアドレス %1 が見つからないため「自動」を使います</source>
        <translation>Local address %1 was not found; using &quot;Automatic&quot;</translation>
    </message>
    <message>
        <source>自動</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>すべてのアドレス (%1)</source>
        <translation>All addresses (%1)</translation>
    </message>
    <message>
        <source>ローカルアドレス：</source>
        <translation>Local address:</translation>
    </message>
    <message>
        <source>ローカルアドレス</source>
        <translation>Local address</translation>
    </message>
    <message>
        <source>マルチキャスト：</source>
        <translation>Multicast:</translation>
    </message>
    <message>
        <source>参加するグループ（例 239.1.2.3, 239.1.2.4）</source>
        <translation>Groups to join (e.g. 239.1.2.3, 239.1.2.4)</translation>
    </message>
    <message>
        <source>参加するマルチキャストグループ</source>
        <translation>Multicast groups to join</translation>
    </message>
    <message>
        <source>マルチキャストTTL：</source>
        <translation>Multicast TTL:</translation>
    </message>
    <message>
        <source>マルチキャストTTL</source>
        <translation>Multicast TTL</translation>
    </message>
    <message>
        <source>「%1」はマルチキャストアドレス（224.0.0.0～239.255.255.255）ではありません</source>
        <translation>&quot;%1&quot; is not a multicast address (224.0.0.0 to 239.255.255.255)</translation>
    </message>
    <message>
        <source>%1 (見つかりません)</source>
        <translation>%1 (not found)</translation>
    </message>
    <message>
        <source>VORPEX_LOCAL_ADDRESS（%1）が優先されます</source>
        <translation>VORPEX_LOCAL_ADDRESS (%1) takes precedence</translation>
    </message>
</context>
<context>
    <name>TrafficActions</name>
    <message>
        <source>クリア(&amp;N)</source>
        <translation>Clear (&amp;N)</translation>
    </message>
    <message>
        <source>ﾛｸﾞのｸﾘｱ|ﾛｸﾞをｸﾘｱします</source>
        <translation>Clear log|Clears the traffic log</translation>
    </message>
    <message>
        <source>16進</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>16進|ﾛｸﾞ表示を16進表示にします</source>
        <translation>Hex|Shows the log in hexadecimal</translation>
    </message>
    <message>
        <source>10進</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>10進|ﾛｸﾞ表示を10進表示にします</source>
        <translation>Decimal|Shows the log in decimal</translation>
    </message>
    <message>
        <source>Ascii|ﾛｸﾞ表示をAscii表示にします</source>
        <translation>Ascii|Shows the log as ASCII text</translation>
    </message>
    <message>
        <source>ログ(&amp;L)</source>
        <translation>&amp;Log</translation>
    </message>
    <message>
        <source>ﾛｸﾞﾌｧｲﾙに書き込む|ﾛｸﾞﾌｧｲﾙにﾛｸﾞを書き込みます</source>
        <translation>Write the log file|Writes the traffic to the log file</translation>
    </message>
    <message>
        <source>16進表記(&amp;H)</source>
        <translation>&amp;Hexadecimal</translation>
    </message>
    <message>
        <source>16進表記|ログファイルに16進表記で書きこみます</source>
        <translation>Hexadecimal|Writes the log file in hexadecimal</translation>
    </message>
    <message>
        <source>文字列(&amp;S)</source>
        <translation>&amp;Text</translation>
    </message>
    <message>
        <source>文字列|受信データを文字列としてログファイルに書きこみます</source>
        <translation>Text|Writes received data to the log file as text</translation>
    </message>
</context>
<context>
    <name>TrafficLogView</name>
    <message>
        <source>１６進</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>１０進</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>アドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>コマンド</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
</context>
<context>
    <name>UDPErrs</name>
    <message>
        <source>未定義のエラー(%d)です。</source>
        <translation>Undefined error (%d).</translation>
    </message>
    <message>
        <source>ソケットがブロック中です。</source>
        <translation>The socket is blocking.</translation>
    </message>
    <message>
        <source>ネットワークが停止しています。</source>
        <translation>The network is down.</translation>
    </message>
    <message>
        <source>初期化されていません。</source>
        <translation>Not initialised.</translation>
    </message>
    <message>
        <source>ブロッキング操作はキャンセルされました。</source>
        <translation>The blocking operation was cancelled.</translation>
    </message>
    <message>
        <source>ノンブロッキングモードのソケットにブロッキング操作を要求しました。</source>
        <translation>A blocking operation was asked of a socket in non-blocking mode.</translation>
    </message>
    <message>
        <source>デスクリプタがソケットではありません。</source>
        <translation>The descriptor is not a socket.</translation>
    </message>
    <message>
        <source>MSG_OOBが指定されましたが、ソケットはストリーム形式ではありません。</source>
        <translation>MSG_OOB was given, but the socket is not a stream socket.</translation>
    </message>
    <message>
        <source>バーチャルサーキットは、タイムアウトか他の失敗の為に中止されました。</source>
        <translation>The virtual circuit was aborted by a time-out or another failure.</translation>
    </message>
    <message>
        <source>バーチャルサーキットは、リモート側によってリセットされました。</source>
        <translation>The virtual circuit was reset by the remote side.</translation>
    </message>
    <message>
        <source>ソケットが閉じられています。</source>
        <translation>The socket has been shut down.</translation>
    </message>
    <message>
        <source>ソケット動作パラメータの設定/取得時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while setting or getting a socket parameter.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Windows ソケットの初期化時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while starting Windows Sockets.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>要求されたSocketsのバージョンはＤＬＬでサポートされていません。</source>
        <translation>The Sockets version asked for is not supported by the DLL.</translation>
    </message>
    <message>
        <source>ネットワークの準備ができていません。</source>
        <translation>The network is not ready.</translation>
    </message>
    <message>
        <source>要求されたSocketsのバージョンはサポートされていません。</source>
        <translation>The Sockets version asked for is not supported.</translation>
    </message>
    <message>
        <source>Windows ソケットの終了時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while ending Windows Sockets.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>データ送信時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while sending data.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>ブロードキャストアドレスが指定されましたが、適切なフラグが設定されていません。</source>
        <translation>A broadcast address was given, but the broadcast flag is not set.</translation>
    </message>
    <message>
        <source>パラメータのアドレスが不正か、サイズが小さすぎます。</source>
        <translation>The address of a parameter is invalid or its size is too small.</translation>
    </message>
    <message>
        <source>宛先のアドレスが指定されていません。</source>
        <translation>No destination address was given.</translation>
    </message>
    <message>
        <source>データグラムでサポートされているサイズより大きいサイズのメッセージを送信しようとしました。</source>
        <translation>The message is larger than a datagram can carry.</translation>
    </message>
    <message>
        <source>指定されたアドレスファミリーは、このソケットで使用できません。</source>
        <translation>The address family given cannot be used with this socket.</translation>
    </message>
    <message>
        <source>指定されたアドレスは、ローカルコンピュータから使用できません。</source>
        <translation>The address given is not available on this computer.</translation>
    </message>
    <message>
        <source>現在ネットワークは届くことができません。</source>
        <translation>The network cannot be reached now.</translation>
    </message>
    <message>
        <source>接続が解除されたので再接続しなければなりません。</source>
        <translation>The connection was reset and must be made again.</translation>
    </message>
    <message>
        <source>バッファがデッドロックされました。</source>
        <translation>No buffer space is available.</translation>
    </message>
    <message>
        <source>ソケットが接続されていません。</source>
        <translation>The socket is not connected.</translation>
    </message>
    <message>
        <source>データ受信時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while receiving data.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>送信元アドレスを格納するバッファが小さすぎます。</source>
        <translation>The buffer for the sender&apos;s address is too small.</translation>
    </message>
    <message>
        <source>ソケットは、バインドされていません。</source>
        <translation>The socket is not bound.</translation>
    </message>
    <message>
        <source>データグラムは指定されたバッファのサイズより大きかったので分割されました。</source>
        <translation>The datagram was larger than the buffer and was cut.</translation>
    </message>
    <message>
        <source>ソケットはコネクトされていません。</source>
        <translation>The socket is not connected.</translation>
    </message>
    <message>
        <source>ソケットのバインド時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while binding the socket.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>指定されたサイズは小さすぎます。</source>
        <translation>The size given is too small.</translation>
    </message>
    <message>
        <source>指定されたソケットはすでにバインドされています。</source>
        <translation>The socket given is already bound.</translation>
    </message>
    <message>
        <source>指定されたアドレスファミリーは、このこのプロトコルでは使用できません。</source>
        <translation>The address family given cannot be used with this protocol.</translation>
    </message>
    <message>
        <source>指定されたアドレスは、すでに使用されています。</source>
        <translation>The address given is already in use.</translation>
    </message>
    <message>
        <source>接続数が多いためバッファが足りません。</source>
        <translation>Too many connections: no buffer space is left.</translation>
    </message>
    <message>
        <source>ソケットの作成時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while creating the socket.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>もはやファイルデスクリプタは利用できません</source>
        <translation>No more file descriptors are available</translation>
    </message>
    <message>
        <source>指定されたプロトコルは、このソケットのために不適切なタイプです。</source>
        <translation>The protocol given is the wrong type for this socket.</translation>
    </message>
    <message>
        <source>指定されたプロトコルはサポートされていません。</source>
        <translation>The protocol given is not supported.</translation>
    </message>
    <message>
        <source>指定されたソケットタイプは、このアドレスファミリーでサポートされません。</source>
        <translation>The socket type given is not supported in this address family.</translation>
    </message>
    <message>
        <source>指定されたアドレスファミリーは、サポートされていません。</source>
        <translation>The address family given is not supported.</translation>
    </message>
    <message>
        <source>利用できるバッファのスペースがないのでソケットを作成できません。</source>
        <translation>The socket cannot be created: no buffer space is available.</translation>
    </message>
    <message>
        <source>ソケットのクローズ時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while closing the socket.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>無効なコマンドか、コマンドに対する不正なパラメータです。</source>
        <translation>An invalid command, or an invalid parameter for the command.</translation>
    </message>
    <message>
        <source>ソケットの状態取得時にエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An error occurred while getting the state of the socket.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>タイムアウト値が不正です。</source>
        <translation>The time-out value is invalid.</translation>
    </message>
    <message>
        <source>ソケットでないものがデスクリプタセットに含まれています。</source>
        <translation>The descriptor set holds something that is not a socket.</translation>
    </message>
    <message>
        <source>namelenパラメータの値が小さすぎます。</source>
        <translation>The namelen parameter is too small.</translation>
    </message>
    <message>
        <source>不明なエラーエラーが発生しました。<byte value="xd"/>
</source>
        <translation>An unknown error occurred.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>アドレスが指定されていません</source>
        <translation>No address was given</translation>
    </message>
    <message>
        <source>ソケットはすでに開いています</source>
        <translation>The socket is already open</translation>
    </message>
    <message>
        <source>ソケットを使用中は値を変更できません</source>
        <translation>The value cannot be changed while the socket is in use</translation>
    </message>
    <message>
        <source>無効なオプションか、オプションに対する不正な値です。</source>
        <translation>An invalid option, or an invalid value for the option.</translation>
    </message>
    <message>
        <source>このソケットではそのオプションを使用できません。</source>
        <translation>The option cannot be used with this socket.</translation>
    </message>
    <message>
        <source>指定されたアドレスはこのマシンのインタフェースにありません。</source>
        <translation>The address given is not on an interface of this machine.</translation>
    </message>
    <message>
        <source>利用できるバッファのスペースがありません。</source>
        <translation>No buffer space is available.</translation>
    </message>
</context>
<context>
    <name>UDPProp</name>
    <message>
        <source>アイドル</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>－２</source>
        <translation>-2</translation>
    </message>
    <message>
        <source>－１</source>
        <translation>-1</translation>
    </message>
    <message>
        <source>０</source>
        <translation>0</translation>
    </message>
    <message>
        <source>＋１</source>
        <translation>+1</translation>
    </message>
    <message>
        <source>＋２</source>
        <translation>+2</translation>
    </message>
    <message>
        <source>最高</source>
        <translation>Highest</translation>
    </message>
    <message>
        <source>受信監視の頻度「%1」はシステムに拒否されました（実際は「%2」）</source>
        <translation>The system refused the receive watch rate &quot;%1&quot; (in force: &quot;%2&quot;)</translation>
    </message>
    <message>
        <source>ＵＤＰコントロールの設定</source>
        <translation>UDP control settings</translation>
    </message>
    <message>
        <source>ポート：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>受信監視の頻度：</source>
        <translation>Watch rate:</translation>
    </message>
    <message>
        <source>受信監視の頻度</source>
        <translation>Receive watch rate</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>実際：%1</source>
        <translation>In force: %1</translation>
    </message>
    <message>
        <source>実際：－（未接続）</source>
        <translation>In force: - (closed)</translation>
    </message>
    <message>
        <source>（システムが拒否）</source>
        <translation> (refused by the system)</translation>
    </message>
    <message>
        <source>ログファイル：</source>
        <translation>Log file: </translation>
    </message>
</context>
</TS>
