#include "transport/UDPErrs.h"

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
    const char* name;
    FailTest test;
    bool resultIsCode; // WSAStartup returns its error code instead of setting it
    const char* heading;
    std::initializer_list<Detail> details;
};

constexpr const char* kUndefined = "未定義のエラー(%d)です。";
constexpr const char* kBlocking = "ソケットがブロック中です。";
constexpr const char* kNetDown = "ネットワークが停止しています。";
constexpr const char* kNotInit = "初期化されていません。";
constexpr const char* kIntr = "ブロッキング操作はキャンセルされました。";
constexpr const char* kWouldBlock = "ノンブロッキングモードのソケットにブロッキング操作を要求しました。";
constexpr const char* kNotSock = "デスクリプタがソケットではありません。";
constexpr const char* kOob = "MSG_OOBが指定されましたが、ソケットはストリーム形式ではありません。";
constexpr const char* kAborted = "バーチャルサーキットは、タイムアウトか他の失敗の為に中止されました。";
constexpr const char* kReset = "バーチャルサーキットは、リモート側によってリセットされました。";
constexpr const char* kShutdown = "ソケットが閉じられています。";
constexpr const char* kParamHeading = "ソケット動作パラメータの設定/取得時にエラーが発生しました。\r\n";

using namespace ws;

const Row kRows[] = {
    {"WSAStartup", FailTest::NonZero, true, "Windows ソケットの初期化時にエラーが発生しました。\r\n",
     {{WSAEINVAL, "要求されたSocketsのバージョンはＤＬＬでサポートされていません。"},
      {WSASYSNOTREADY, "ネットワークの準備ができていません。"},
      {WSAVERNOTSUPPORTED, "要求されたSocketsのバージョンはサポートされていません。"}}},
    {"WSACleanup", FailTest::NonZero, false, "Windows ソケットの終了時にエラーが発生しました。\r\n",
     {{WSAEINPROGRESS, kBlocking}, {WSAENETDOWN, kNetDown}, {WSANOTINITIALISED, kNotInit}}},
    {"sendto", FailTest::MinusOne, false, "データ送信時にエラーが発生しました。\r\n",
     {{WSAEINTR, kIntr},
      {WSAEACCES, "ブロードキャストアドレスが指定されましたが、適切なフラグが設定されていません。"},
      {WSAEFAULT, "パラメータのアドレスが不正か、サイズが小さすぎます。"},
      {WSAEWOULDBLOCK, kWouldBlock},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAEDESTADDRREQ, "宛先のアドレスが指定されていません。"},
      {WSAEMSGSIZE, "データグラムでサポートされているサイズより大きいサイズのメッセージを送信しようとしました。"},
      {WSAEOPNOTSUPP, kOob},
      {WSAEAFNOSUPPORT, "指定されたアドレスファミリーは、このソケットで使用できません。"},
      {WSAEADDRNOTAVAIL, "指定されたアドレスは、ローカルコンピュータから使用できません。"},
      {WSAENETDOWN, kNetDown},
      {WSAENETUNREACH, "現在ネットワークは届くことができません。"},
      {WSAENETRESET, "接続が解除されたので再接続しなければなりません。"},
      {WSAECONNABORTED, kAborted},
      {WSAECONNRESET, kReset},
      {WSAENOBUFS, "バッファがデッドロックされました。"},
      {WSAENOTCONN, "ソケットが接続されていません。"},
      {WSAESHUTDOWN, kShutdown},
      {WSANOTINITIALISED, kNotInit}}},
    {"recvfrom", FailTest::MinusOne, false, "データ受信時にエラーが発生しました。\r\n",
     {{WSAEINTR, kIntr},
      {WSAEFAULT, "送信元アドレスを格納するバッファが小さすぎます。"},
      {WSAEINVAL, "ソケットは、バインドされていません。"},
      {WSAEWOULDBLOCK, kWouldBlock},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAEMSGSIZE, "データグラムは指定されたバッファのサイズより大きかったので分割されました。"},
      {WSAEOPNOTSUPP, kOob},
      {WSAENETDOWN, kNetDown},
      {WSAECONNABORTED, kAborted},
      {WSAECONNRESET, kReset},
      {WSAENOTCONN, "ソケットはコネクトされていません。"},
      {WSAESHUTDOWN, kShutdown},
      {WSANOTINITIALISED, kNotInit}}},
    {"bind", FailTest::NonZero, false, "ソケットのバインド時にエラーが発生しました。\r\n",
     {{WSAEFAULT, "指定されたサイズは小さすぎます。"},
      {WSAEINVAL, "指定されたソケットはすでにバインドされています。"},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAEAFNOSUPPORT, "指定されたアドレスファミリーは、このこのプロトコルでは使用できません。"},
      {WSAEADDRINUSE, "指定されたアドレスは、すでに使用されています。"},
      {WSAENETDOWN, kNetDown},
      {WSAENOBUFS, "接続数が多いためバッファが足りません。"},
      {WSANOTINITIALISED, kNotInit}}},
    {"socket", FailTest::MinusOne, false, "ソケットの作成時にエラーが発生しました。\r\n",
     {{WSAEMFILE, "もはやファイルデスクリプタは利用できません"},
      {WSAEINPROGRESS, kBlocking},
      {WSAEPROTOTYPE, "指定されたプロトコルは、このソケットのために不適切なタイプです。"},
      {WSAEPROTONOSUPPORT, "指定されたプロトコルはサポートされていません。"},
      {WSAESOCKTNOSUPPORT, "指定されたソケットタイプは、このアドレスファミリーでサポートされません。"},
      {WSAEAFNOSUPPORT, "指定されたアドレスファミリーは、サポートされていません。"},
      {WSAENETDOWN, kNetDown},
      {WSAENOBUFS, "利用できるバッファのスペースがないのでソケットを作成できません。"},
      {WSANOTINITIALISED, kNotInit}}},
    {"closesocket", FailTest::NonZero, false, "ソケットのクローズ時にエラーが発生しました。\r\n",
     {{WSAEINTR, kIntr},
      {WSAEWOULDBLOCK, kWouldBlock},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
    {"ioctlsocket", FailTest::NonZero, false, kParamHeading,
     {{WSAEINVAL, "無効なコマンドか、コマンドに対する不正なパラメータです。"},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, kNotSock},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
    {"select", FailTest::MinusOne, false, "ソケットの状態取得時にエラーが発生しました。\r\n",
     {{WSAEINTR, kIntr},
      {WSAEINVAL, "タイムアウト値が不正です。"},
      {WSAEINPROGRESS, kBlocking},
      {WSAENOTSOCK, "ソケットでないものがデスクリプタセットに含まれています。"},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
    {"setsockopt", FailTest::NonZero, false, kParamHeading,
     {{WSAEINVAL, "無効なオプションか、オプションに対する不正な値です。"},
      {WSAENOPROTOOPT, "このソケットではそのオプションを使用できません。"},
      {WSAEADDRNOTAVAIL, "指定されたアドレスはこのマシンのインタフェースにありません。"},
      {WSAENOBUFS, "利用できるバッファのスペースがありません。"},
      {WSAENOTSOCK, kNotSock},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
    {"gethostname", FailTest::NonZero, false, kParamHeading,
     {{WSAEFAULT, "namelenパラメータの値が小さすぎます。"},
      {WSAEINPROGRESS, kBlocking},
      {WSAENETDOWN, kNetDown},
      {WSANOTINITIALISED, kNotInit}}},
};

const Row kUnknownRow = {"", FailTest::Always, true, "不明なエラーエラーが発生しました。\r\n", {}};

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
