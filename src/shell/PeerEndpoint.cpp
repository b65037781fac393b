#include "shell/PeerEndpoint.h"

#include "shell/IPEdit.h"
#include "shell/NumEdit.h"

namespace vpx {

TPeerEndpoint::TPeerEndpoint(TIPEdit& address, TNumEdit& port, QObject* parent)
    : QObject(parent), m_addressBox(address), m_portBox(port)
{
    for (int i = 0; i < 4; ++i)
        connect(address.Field(i), &QLineEdit::textChanged, this, [this] { m_address.reset(); });
    connect(&port, &QLineEdit::textChanged, this, [this] { m_port.reset(); });
}

AnsiString TPeerEndpoint::Address()
{
    if (!m_address)
        m_address = ToAnsi(m_addressBox.Address()); // raises, and keeps nothing, when out of range
    return *m_address;
}

std::uint16_t TPeerEndpoint::Port()
{
    if (!m_port)
        m_port = static_cast<std::uint16_t>(m_portBox.Value());
    return *m_port;
}

} // namespace vpx
