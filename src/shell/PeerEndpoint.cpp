#include "shell/PeerEndpoint.h"

#include "shell/IPEdit.h"
#include "shell/NumEdit.h"

#include <QStringList>

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

namespace {

std::optional<std::uint32_t> QuietValue(const TNumEdit& box)
{
    const auto value = numedit::ParseUnsigned(box.text().toStdString());
    if (!value || *value < box.Min() || *value > box.Max())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<QString> TPeerEndpoint::KeptAddress() const
{
    QStringList parts;
    for (int i = 0; i < 4; ++i) {
        const auto value = QuietValue(*m_addressBox.Field(i));
        if (!value)
            return std::nullopt;
        parts << QString::number(*value);
    }
    return parts.join(QLatin1Char('.'));
}

std::optional<int> TPeerEndpoint::KeptPort() const
{
    const auto value = QuietValue(m_portBox);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

void TPeerEndpoint::SetAddress(const QString& address)
{
    m_addressBox.SetAddress(address);
}

void TPeerEndpoint::SetPort(int port)
{
    m_portBox.SetValue(static_cast<std::uint32_t>(port));
}

} // namespace vpx
