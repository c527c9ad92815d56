#include "IPv4.h"

#include <QRegularExpression>

namespace {
const QString c_address = QStringLiteral("address");
const QString c_netmask = QStringLiteral("netmask");
const QString c_gateway = QStringLiteral("gateway");
const QString c_dns0 = QStringLiteral("dns0");
const QString c_dns1 = QStringLiteral("dns1");

// The address as a number; the text must have passed isAddress() and not be empty.
quint32 toNumber(const QString &text)
{
    quint32 value = 0;
    for (const QString &part : text.split(QLatin1Char('.')))
        value = (value << 8) | part.toUInt();
    return value;
}
} // namespace

IPv4::IPv4(QObject *parent) : QObject(parent) { }

QString IPv4::address() const
{
    return m_data.value(c_address).toString();
}

QString IPv4::mask() const
{
    return m_data.value(c_netmask).toString();
}

QString IPv4::gateway() const
{
    return m_data.value(c_gateway).toString();
}

QString IPv4::dns0() const
{
    return m_data.value(c_dns0).toString();
}

QString IPv4::dns1() const
{
    return m_data.value(c_dns1).toString();
}

bool IPv4::set(const QString &key, const QString &value)
{
    if (m_data.value(key).toString() == value)
        return false;
    m_data.insert(key, value);
    return true;
}

void IPv4::setAddress(const QString &value)
{
    if (set(c_address, value))
        emit addressChanged();
}

void IPv4::setMask(const QString &value)
{
    if (set(c_netmask, value))
        emit maskChanged();
}

void IPv4::setGateway(const QString &value)
{
    if (set(c_gateway, value))
        emit gatewayChanged();
}

void IPv4::setDns0(const QString &value)
{
    if (set(c_dns0, value))
        emit dns0Changed();
}

void IPv4::setDns1(const QString &value)
{
    if (set(c_dns1, value))
        emit dns1Changed();
}

void IPv4::fromMap(const QVariantMap &map)
{
    setAddress(map.value(c_address).toString());
    setMask(map.value(c_netmask).toString());
    setGateway(map.value(c_gateway).toString());
    setDns0(map.value(c_dns0).toString());
    setDns1(map.value(c_dns1).toString());
}

QVariantMap IPv4::toMap() const
{
    return m_data;
}

bool IPv4::holds(const QVariantMap &map) const
{
    for (const QString &key : {c_address, c_netmask, c_gateway, c_dns0, c_dns1}) {
        if (map.value(key).toString() != m_data.value(key).toString())
            return false;
    }
    return true;
}

bool IPv4::isAddress(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^((25[0-5]|(2[0-4]|1\d|[1-9]|)\d)\.?\b){4}$)"));
    return text.isEmpty() || pattern.match(text).hasMatch();
}

IPv4::Problem IPv4::check(const QString &method, const QVariantMap &fields)
{
    if (method != QLatin1String("manual"))
        return NoProblem;
    const QString address = fields.value(c_address).toString();
    const QString mask = fields.value(c_netmask).toString();
    const QString gateway = fields.value(c_gateway).toString();
    if (address.isEmpty())
        return AddressEmpty;
    if (mask.isEmpty())
        return MaskEmpty;
    if (!isAddress(address))
        return AddressInvalid;
    if (!isAddress(mask))
        return MaskInvalid;
    // Ones from the top, then zeros: inverted, plus one, a power of two.
    const quint32 maskBits = toNumber(mask);
    const quint32 hostBits = ~maskBits;
    if ((hostBits & (hostBits + 1)) != 0)
        return MaskNotContiguous;
    if (!isAddress(gateway))
        return GatewayInvalid;
    if (!gateway.isEmpty() && (toNumber(gateway) & maskBits) != (toNumber(address) & maskBits))
        return GatewayUnreachable;
    if (!isAddress(fields.value(c_dns0).toString()))
        return Dns0Invalid;
    if (!isAddress(fields.value(c_dns1).toString()))
        return Dns1Invalid;
    return NoProblem;
}

QString IPv4::problemText(Problem problem)
{
    switch (problem) {
    case NoProblem:
        break;
    case AddressEmpty:
        return QStringLiteral("IPv4 address cannot be empty in 'manual' mode");
    case MaskEmpty:
        return QStringLiteral("IPv4 netmask cannot be empty in 'manual' mode");
    case AddressInvalid:
        return QStringLiteral("IPv4 address is not a valid IP address");
    case MaskInvalid:
        return QStringLiteral("IPv4 netmask is not a valid IP address");
    case MaskNotContiguous:
        return QStringLiteral("IPv4 netmask is not a valid network mask");
    case GatewayInvalid:
        return QStringLiteral("IPv4 gateway is not a valid IP address");
    case GatewayUnreachable:
        return QStringLiteral("IPv4 gateway is not in the address's network");
    case Dns0Invalid:
        return QStringLiteral("IPv4 DNS #0 is not a valid IP address");
    case Dns1Invalid:
        return QStringLiteral("IPv4 DNS #1 is not a valid IP address");
    }
    return QString();
}
