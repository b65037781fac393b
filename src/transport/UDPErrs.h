#pragma once

// Every Winsock result of the socket layer passes through CheckSocketResult, which
// turns a failure into an EUDPSockError with a two-line Japanese message: what
// failed, CR LF, why.

#include "platform/TrNoop.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vpx {

// Message texts are UTF-8.
class EUDPSockError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The endpoint's own failures.
inline constexpr const char* SSockAddressNotSpecified = VPX_TR_NOOP("UDPErrs", "アドレスが指定されていません"); // 65394
inline constexpr const char* SSockAlreadyOpen = VPX_TR_NOOP("UDPErrs", "ソケットはすでに開いています");       // 65395
inline constexpr const char* SSockInUse = VPX_TR_NOOP("UDPErrs", "ソケットを使用中は値を変更できません");     // 65396

// Returns Result when the named call did not fail; otherwise raises EUDPSockError.
// Names compare without regard to case; an unknown name always raises.
std::int32_t CheckSocketResult(std::int32_t Result, std::string_view ApiName);

// The message CheckSocketResult raises for a failed call with the given code.
std::string SocketErrorMessage(std::string_view ApiName, std::int32_t Code);

} // namespace vpx
