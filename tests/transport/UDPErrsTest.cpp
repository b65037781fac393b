#include "transport/UDPErrs.h"

#include "platform/WinSock.h"

#include <gtest/gtest.h>

#include <string>

namespace vpx {
namespace {

struct MessageCase {
    const char* api;
    std::int32_t result;
    std::int32_t lastError;
    const char* message;
};

class CheckSocketResultMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(CheckSocketResultMessages, RaiseTheComposedText)
{
    const MessageCase& c = GetParam();
    ws::WSASetLastError(c.lastError);
    try {
        CheckSocketResult(c.result, c.api);
        FAIL() << "no exception for " << c.api;
    } catch (const EUDPSockError& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CheckSocketResultMessages,
    ::testing::Values(
        MessageCase{"bind", -1, 10048,
                    "ソケットのバインド時にエラーが発生しました。\r\n指定されたアドレスは、すでに使用されています。"},
        MessageCase{"bind", -1, 10047,
                    "ソケットのバインド時にエラーが発生しました。\r\n指定されたアドレスファミリーは、このこのプロトコルでは使用できません。"},
        MessageCase{"sendto", -1, 10065, "データ送信時にエラーが発生しました。\r\n未定義のエラー(10065)です。"},
        MessageCase{"recvfrom", -1, 10040,
                    "データ受信時にエラーが発生しました。\r\nデータグラムは指定されたバッファのサイズより大きかったので分割されました。"},
        // WSAStartup reports its code as its result; the thread's last error is not read.
        MessageCase{"WSAStartup", 10092, 0,
                    "Windows ソケットの初期化時にエラーが発生しました。\r\n要求されたSocketsのバージョンはサポートされていません。"},
        MessageCase{"closeSocket", -1, 10038,
                    "ソケットのクローズ時にエラーが発生しました。\r\nデスクリプタがソケットではありません。"},
        MessageCase{"socket", -1, 10024, "ソケットの作成時にエラーが発生しました。\r\nもはやファイルデスクリプタは利用できません"},
        MessageCase{"gethostname", -1, 10014,
                    "ソケット動作パラメータの設定/取得時にエラーが発生しました。\r\nnamelenパラメータの値が小さすぎます。"},
        MessageCase{"ioctlsocket", -1, 10022,
                    "ソケット動作パラメータの設定/取得時にエラーが発生しました。\r\n無効なコマンドか、コマンドに対する不正なパラメータです。"},
        MessageCase{"select", -1, 10038,
                    "ソケットの状態取得時にエラーが発生しました。\r\nソケットでないものがデスクリプタセットに含まれています。"},
        MessageCase{"SELECT", -1, 10022, "ソケットの状態取得時にエラーが発生しました。\r\nタイムアウト値が不正です。"},
        MessageCase{"WSACleanup", -1, 10093, "Windows ソケットの終了時にエラーが発生しました。\r\n初期化されていません。"},
        // The same code, different texts under different calls.
        MessageCase{"sendto", -1, 10057, "データ送信時にエラーが発生しました。\r\nソケットが接続されていません。"},
        MessageCase{"recvfrom", -1, 10057, "データ受信時にエラーが発生しました。\r\nソケットはコネクトされていません。"},
        MessageCase{"recvfrom", -1, 10014,
                    "データ受信時にエラーが発生しました。\r\n送信元アドレスを格納するバッファが小さすぎます。"},
        // An unknown call always fails and shows its result as the code.
        MessageCase{"connect", 0, 10061, "不明なエラーエラーが発生しました。\r\n未定義のエラー(0)です。"},
        MessageCase{"connect", 42, 10061, "不明なエラーエラーが発生しました。\r\n未定義のエラー(42)です。"}));

struct PassCase {
    const char* api;
    std::int32_t result;
};

TEST(CheckSocketResult, SuccessfulResultsPassUnchanged)
{
    const PassCase cases[] = {{"socket", 7},  {"sendto", 12},     {"recvfrom", 0}, {"select", 0},
                              {"select", 1},  {"bind", 0},        {"WSAStartup", 0}, {"WSACleanup", 0},
                              {"closesocket", 0}, {"ioctlsocket", 0}, {"gethostname", 0}, {"recvfrom", 65507}};
    for (const PassCase& c : cases)
        EXPECT_EQ(CheckSocketResult(c.result, c.api), c.result) << c.api;
}

TEST(CheckSocketResult, FailureTestDependsOnTheCall)
{
    // "bind" fails on anything but 0, "sendto" only on -1.
    EXPECT_THROW(CheckSocketResult(1, "bind"), EUDPSockError);
    EXPECT_EQ(CheckSocketResult(-2, "sendto"), -2);
}

struct SpellingCase {
    const char* spelled;
    const char* exact;
    std::int32_t result;
};

std::string RaisedText(std::int32_t result, const char* api)
{
    ws::WSASetLastError(10054);
    try {
        CheckSocketResult(result, api);
    } catch (const EUDPSockError& e) {
        return e.what();
    }
    return {};
}

TEST(CheckSocketResult, NamesInAnyCaseFindTheSameRow)
{
    // Rows are found by their exact spelling first; any other spelling still finds them.
    const SpellingCase cases[] = {{"RecvFrom", "recvfrom", -1},
                                  {"SENDTO", "sendto", -1},
                                  {"Bind", "bind", 1},
                                  {"wsastartup", "WSAStartup", 10091},
                                  {"IoctlSocket", "ioctlsocket", 5}};
    for (const SpellingCase& c : cases) {
        const std::string exact = RaisedText(c.result, c.exact);
        EXPECT_FALSE(exact.empty()) << c.exact;
        EXPECT_EQ(exact.find("不明な"), std::string::npos) << c.exact;
        EXPECT_EQ(RaisedText(c.result, c.spelled), exact) << c.spelled;
    }
}

} // namespace
} // namespace vpx
