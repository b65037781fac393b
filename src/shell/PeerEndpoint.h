#pragma once

// The peer's address and port as the tool bar holds them, read for every send and
// every automatic reply. Under a flood of replies, rebuilding the dotted text from
// the four boxes for each datagram is a quarter of the work on the receive path,
// so the valid values are kept until the user edits a box; a text that is out of
// range is never kept and raises on every read, as reading the boxes does.

#include "platform/CodePage.h"

#include <QObject>

#include <cstdint>
#include <optional>

namespace vpx {

class TIPEdit;
class TNumEdit;

class TPeerEndpoint : public QObject {
    Q_OBJECT
public:
    TPeerEndpoint(TIPEdit& address, TNumEdit& port, QObject* parent = nullptr);

    AnsiString Address();
    std::uint16_t Port();

    // The boxes' values to keep for the next start, read quietly (no range error,
    // no focus move, no beep): nothing while a box holds a value out of range.
    std::optional<QString> KeptAddress() const;
    std::optional<int> KeptPort() const;
    void SetAddress(const QString& address);
    void SetPort(int port);

private:
    TIPEdit& m_addressBox;
    TNumEdit& m_portBox;
    std::optional<AnsiString> m_address;
    std::optional<std::uint16_t> m_port;
};

} // namespace vpx
