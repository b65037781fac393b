#include "transport/UDPErrs.h"

#include "platform/TrNoop.h"
#include "platform/WinSock.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

namespace vpx {

namespace {

struct Detail {
    std::int32_t code;
    const char* text;
};

enum class FailTest { NonZero, MinusOne, Always };

struct Row {
    std::string_view name; // a view, so a lookup compares lengths before letters
    FailTest test;
    bool resultIsCode; // WSAStartup returns its error code instead of setting it
    const char* heading;
    std::initializer_list<Detail> details;
};

constexpr const char* kUndefined = VPX_TR_NOOP("UDPErrs", "未定義のエラー(%d)です。");
constexpr const char* kBlocking = VPX_TR_NOOP("UDPErrs", "ソケットがブロック中です。");
constexpr const char* kNetDown = VPX_TR_NOOP("UDPErrs", "ネットワークが停止しています。");
constexpr const char* kNotInit = VPX_TR_NOOP("UDPErrs", "初期化されていません。");
constexpr const char* kIntr = VPX_TR_NOOP("UDPErrs", "ブロッキング操作はキャンセルされました。");
constexpr const char* kWouldBlock = VPX_TR_NOOP("UDPErrs", "ノンブロッキングモードのソケットにブロッキング操作を要求しました。");
constexpr const char* kNotSock = VPX_TR_NOOP("UDPErrs", "デスクリプタがソケットではありません。");
constexpr const char* kOob = VPX_TR_NOOP("UDPErrs", "MSG_OOBが指定されましたが、ソケットはストリーム形式ではありません。");
constexpr const char* kAborted = VPX_TR_NOOP("UDPErrs", "バーチャルサーキットは、タイムアウトか他の失敗の為に中止されました。");
constexpr const char* kReset = VPX_TR_NOOP("UDPErrs", "バーチャルサーキットは、リモート側によってリセットされました。");
constexpr const char* kShutdown = VPX_TR_NOOP("UDPErrs", "ソケットが閉じられています。");
constexpr const char* kParamHeading = VPX_TR_NOOP("UDPErrs", "ソケット動作パラメータの設定/取得時にエラーが発生しました。\r\n");

using namespace ws;

const Row kRows[] = {
    {"WSAStartup", FailTest::NonZero, true, VPX_TR_NOOP("UDPErrs", "Windows ソケットの初期化時にエラーが発生しました。\r\n"),
     {{WSAEINVAL, VPX_TR_NOOP("UDPErrs", "要求されたSocketsのバージョンはＤＬＬでサポートされていません。")},
      {WSASYSNOTREADY, VPX_TR_NOOP("UDPErrs", "ネットワークの準備ができていません。")},
      {WSAVERNOTSUPPORTED, VPX_TR_NOOP("UDPErrs", "要求されたSocketsのバージョンはサポートされていません。")}}},
    {"WSACleanup", FailTest::NonZero, false, VPX_TR_NOOP("UDPErrs", "Windows ソケットの終了時にエラーが発生しました。\r\n"),
     {{WSAEINPROGRESS, kBlocking}, {WSAENETDOWN, kNetDown}, {WSANOTINITIALISED, kNotInit}}},
    {"sendto", FailTest::MinusOne, false, VPX_TR_NOOP("UDPErrs", "データ送信時にエラーが発生しました。\r\n"),
     {{WSAEINTR, kIntr},
      {WSAEACCES, VPX_TR_NOOP("UDPErrs", "ブロードキャストアドレスが指定されましたが、適切なフラグが設定されていません。")},
      {WSAEFAULT, VPX_TR_NOOP("UDPErrs", "パラメータのアドレスが不正か、サイズが小さすぎます。")},
      {WSAEWOULDBLOCK, kWouldBlock},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAEDESTADDRREQ, VPX_TR_NOOP("UDPErrs", "宛先のアドレスが指定されていません。")},
      {WSAEMSGSIZE, VPX_TR_NOOP("UDPErrs", "データグラムでサポートされているサイズより大きいサイズのメッセージを送信しようとしました。")},
      {WSAEOPNOTSUPP, kOob},
      {WSAEAFNOSUPPORT, VPX_TR_NOOP("UDPErrs", "指定されたアドレスファミリーは、このソケットで使用できません。")},
      {WSAEADDRNOTAVAIL, VPX_TR_NOOP("UDPErrs", "指定されたアドレスは、ローカルコンピュータから使用できません。")},
      {WSAENETDOWN, kNetDown},
      {WSAENETUNREACH, VPX_TR_NOOP("UDPErrs", "現在ネットワークは届くことができません。")},
      {WSAENETRESET, VPX_TR_NOOP("UDPErrs", "接続が解除されたので再接続しなければなりません。")},
      {WSAECONNABORTED, kAborted},
      {WSAECONNRESET, kReset},
      {WSAENOBUFS, VPX_TR_NOOP("UDPErrs", "バッファがデッドロックされました。")},
      {WSAENOTCONN, VPX_TR_NOOP("UDPErrs", "ソケットが接続されていません。")},
      {WSAESHUTDOWN, kShutdown},
      {WSANOTINITIALISED, kNotInit}}},
    {"recvfrom", FailTest::MinusOne, false, VPX_TR_NOOP("UDPErrs", "データ受信時にエラーが発生しました。\r\n"),
     {{WSAEINTR, kIntr},
      {WSAEFAULT, VPX_TR_NOOP("UDPErrs", "送信元アドレスを格納するバッファが小さすぎます。")},
      {WSAEINVAL, VPX_TR_NOOP("UDPErrs", "ソケットは、バインドされていません。")},
      {WSAEWOULDBLOCK, kWouldBlock},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAEMSGSIZE, VPX_TR_NOOP("UDPErrs", "データグラムは指定されたバッファのサイズより大きかったので分割されました。")},
      {WSAEOPNOTSUPP, kOob},
      {WSAENETDOWN, kNetDown},
      {WSAECONNABORTED, kAborted},
      {WSAECONNRESET, kReset},
      {WSAENOTCONN, VPX_TR_NOOP("UDPErrs", "ソケットはコネクトされていません。")},
      {WSAESHUTDOWN, kShutdown},
      {WSANOTINITIALISED, kNotInit}}},
    {"bind", FailTest::NonZero, false, VPX_TR_NOOP("UDPErrs", "ソケットのバインド時にエラーが発生しました。\r\n"),
     {{WSAEFAULT, VPX_TR_NOOP("UDPErrs", "指定されたサイズは小さすぎます。")},
      {WSAEINVAL, VPX_TR_NOOP("UDPErrs", "指定されたソケットはすでにバインドされています。")},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAEAFNOSUPPORT, VPX_TR_NOOP("UDPErrs", "指定されたアドレスファミリーは、このこのプロトコルでは使用できません。")},
      {WSAEADDRINUSE, VPX_TR_NOOP("UDPErrs", "指定されたアドレスは、すでに使用されています。")},
      {WSAENETDOWN, kNetDown},
      {WSAENOBUFS, VPX_TR_NOOP("UDPErrs", "接続数が多いためバッファが足りません。")},
      {WSANOTINITIALISED, kNotInit}}},
    {"socket", FailTest::MinusOne, false, VPX_TR_NOOP("UDPErrs", "ソケットの作成時にエラーが発生しました。\r\n"),
     {{WSAEMFILE, VPX_TR_NOOP("UDPErrs", "もはやファイルデスクリプタは利用できません")},
      {WSAEINPROGRESS, kBlocking},
      {WSAEPROTOTYPE, VPX_TR_NOOP("UDPErrs", "指定されたプロトコルは、このソケットのために不適切なタイプです。")},
      {WSAEPROTONOSUPPORT, VPX_TR_NOOP("UDPErrs", "指定されたプロトコルはサポートされていません。")},
      {WSAESOCKTNOSUPPORT, VPX_TR_NOOP("UDPErrs", "指定されたソケットタイプは、このアドレスファミリーでサポートされません。")},
      {WSAEAFNOSUPPORT, VPX_TR_NOOP("UDPErrs", "指定されたアドレスファミリーは、サポートされていません。")},
      {WSAENETDOWN, kNetDown},
      {WSAENOBUFS, VPX_TR_NOOP("UDPErrs", "利用できるバッファのスペースがないのでソケットを作成できません。")},
      {WSANOTINITIALISED, kNotInit}}},
    {"closesocket", FailTest::NonZero, false, VPX_TR_NOOP("UDPErrs", "ソケットのクローズ時にエラーが発生しました。\r\n"),
     {{WSAEINTR, kIntr},
      {WSAEWOULDBLOCK, kWouldBlock},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
    {"ioctlsocket", FailTest::NonZero, false, kParamHeading,
     {{WSAEINVAL, VPX_TR_NOOP("UDPErrs", "無効なコマンドか、コマンドに対する不正なパラメータです。")},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
    {"select", FailTest::MinusOne, false, VPX_TR_NOOP("UDPErrs", "ソケットの状態取得時にエラーが発生しました。\r\n"),
     {{WSAEINTR, kIntr},
      {WSAEINVAL, VPX_TR_NOOP("UDPErrs", "タイムアウト値が不正です。")},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, VPX_TR_NOOP("UDPErrs", "ソケットでないものがデスクリプタセットに含まれています。")},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
    {"setsockopt", FailTest::NonZero, false, kParamHeading,
     {{WSAEINVAL, VPX_TR_NOOP("UDPErrs", "無効なオプションか、オプションに対する不正な値です。")},
      {WSAENOPROTOOPT, VPX_TR_NOOP("UDPErrs", "このソケットではそのオプションを使用できません。")},
      {WSAEADDRNOTAVAIL, VPX_TR_NOOP("UDPErrs", "指定されたアドレスはこのマシンのインタフェースにありません。")},
      {WSAENOBUFS, VPX_TR_NOOP("UDPErrs", "利用できるバッファのスペースがありません。")},
      {WSAENOTSOCK, kNotSock},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
    {"gethostname", FailTest::NonZero, false, kParamHeading,
     {{WSAEFAULT, VPX_TR_NOOP("UDPErrs", "namelenパラメータの値が小さすぎます。")},
      {WSAEINPROGRESS, kBlocking},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
};

const Row kUnknownRow = {"", FailTest::Always, true, VPX_TR_NOOP("UDPErrs", "不明なエラーエラーが発生しました。\r\n"), {}};

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Every socket call passes through here, and the call sites spell the names as
// the rows do: an exact match is found without folding case character by character.
const Row& FindRow(std::string_view apiName)
{
    for (const Row& row : kRows)
        if (apiName == row.name)
            return row;
    for (const Row& row : kRows)
        if (SameName(row.name, apiName))
            return row;
    return kUnknownRow;
}

std::string Compose(const Row& row, std::int32_t code)
{
    std::string message = row.heading;
    for (const Detail& d : row.details) {
        if (d.code == code)
            return message + d.text;
    }
    // The default detail is the only text with a placeholder: the code in decimal.
    std::string detail = kUndefined;
    detail.replace(detail.find("%d"), 2, std::to_string(code));
    return message + detail;
}

} // namespace

std::string SocketErrorMessage(std::string_view ApiName, std::int32_t Code)
{
    return Compose(FindRow(ApiName), Code);
}

std::int32_t CheckSocketResult(std::int32_t Result, std::string_view ApiName)
{
    const Row& row = FindRow(ApiName);
    bool failed = false;
    switch (row.test) {
    case FailTest::NonZero:
        failed = Result != 0;
        break;
    case FailTest::MinusOne:
        failed = Result == -1;
        break;
    case FailTest::Always:
        failed = true;
        break;
    }
    if (!failed)
        return Result;
    const std::int32_t code = row.resultIsCode ? Result : ws::WSAGetLastError();
    throw EUDPSockError(Compose(row, code));
}

} // namespace vpx
