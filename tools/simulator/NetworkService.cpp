#include "NetworkService.h"

NetworkService::NetworkService(manager::MqttClient &mqtt, const QString &base, QObject *parent)
    : SimulatedService(mqtt, QStringLiteral("network"), base, parent)
    , m_ethernet(base + QStringLiteral("/ethernet"))
{
    m_config = QJsonObject {{QStringLiteral("interface"), QStringLiteral("eth0")},
                            {QStringLiteral("method"), QStringLiteral("auto")},
                            {QStringLiteral("address"), QString()},
                            {QStringLiteral("netmask"), QString()},
                            {QStringLiteral("gateway"), QString()},
                            {QStringLiteral("dns0"), QString()},
                            {QStringLiteral("dns1"), QString()}};
    handle(m_ethernet + QStringLiteral("/state/get"),
           [this](const QJsonObject &, const QByteArray &) { publishEthernetState(); });
    handle(m_ethernet + QStringLiteral("/config/get"),
           [this](const QJsonObject &, const QByteArray &) { publishEthernetConfig(); });
    handle(m_ethernet + QStringLiteral("/config/set"), [this](const QJsonObject &o, const QByteArray &) {
        for (const char *key : {"method", "address", "netmask", "gateway", "dns0", "dns1"}) {
            const QString name = QLatin1String(key);
            m_config.insert(name, o.value(name).toString());
        }
        say(QStringLiteral("eth0 configured: %1 %2")
                .arg(m_config.value(QStringLiteral("method")).toString(),
                     m_config.value(QStringLiteral("address")).toString()));
        publishEthernetConfig();
        publishEthernetState();
    });
}

QJsonObject NetworkService::liveAddresses() const
{
    if (m_config.value(QStringLiteral("method")).toString() == QLatin1String("manual")) {
        return QJsonObject {{QStringLiteral("address"), m_config.value(QStringLiteral("address"))},
                            {QStringLiteral("netmask"), m_config.value(QStringLiteral("netmask"))},
                            {QStringLiteral("gateway"), m_config.value(QStringLiteral("gateway"))},
                            {QStringLiteral("dns0"), m_config.value(QStringLiteral("dns0"))},
                            {QStringLiteral("dns1"), m_config.value(QStringLiteral("dns1"))}};
    }
    // What a DHCP server on the depot network would hand out.
    return QJsonObject {{QStringLiteral("address"), QStringLiteral("198.51.100.41")},
                        {QStringLiteral("netmask"), QStringLiteral("255.255.255.0")},
                        {QStringLiteral("gateway"), QStringLiteral("198.51.100.1")},
                        {QStringLiteral("dns0"), QStringLiteral("198.51.100.1")},
                        {QStringLiteral("dns1"), QString()}};
}

// The state words are the service's own capitalised ones: the settings pages
// colour "Connected" and "Full" green, and Diagnostics passes the Ethernet test
// only on "Connected".
void NetworkService::announce()
{
    publish(m_base + QStringLiteral("/info"),
            QJsonObject {{QStringLiteral("service"),
                          QJsonObject {{QStringLiteral("version"), QStringLiteral("0.9.4")}}}},
            true);
    publish(m_base + QStringLiteral("/status"),
            QJsonObject {{QStringLiteral("stateStr"), QStringLiteral("Connected")},
                         {QStringLiteral("connectivityStr"), QStringLiteral("Full")},
                         {QStringLiteral("hostname"), QStringLiteral("validator-0417")},
                         {QStringLiteral("primaryConnection"),
                          QJsonObject {{QStringLiteral("interface"), QStringLiteral("eth0")},
                                       {QStringLiteral("stateStr"), QStringLiteral("Connected")},
                                       {QStringLiteral("typeStr"), QStringLiteral("ethernet")},
                                       {QStringLiteral("ipv4"), liveAddresses()}}}},
            true);
}

void NetworkService::publishEthernetState()
{
    publish(m_ethernet + QStringLiteral("/state"),
            QJsonObject {{QStringLiteral("interface"), QStringLiteral("eth0")},
                         {QStringLiteral("typeStr"), QStringLiteral("ethernet")},
                         {QStringLiteral("stateStr"), QStringLiteral("Connected")},
                         {QStringLiteral("reasonStr"), QStringLiteral("none")},
                         {QStringLiteral("mac"), QStringLiteral("02:00:5E:10:04:17")},
                         {QStringLiteral("ipv4"), liveAddresses()}});
}

void NetworkService::publishEthernetConfig()
{
    publish(m_ethernet + QStringLiteral("/config"), m_config);
}
