#include "IPv4.h"

namespace {
const QString c_address = QStringLiteral("address");
const QString c_netmask = QStringLiteral("netmask");
const QString c_gateway = QStringLiteral("gateway");
const QString c_dns0 = QStringLiteral("dns0");
const QString c_dns1 = QStringLiteral("dns1");
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
