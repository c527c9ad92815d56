#include "Ethernet.h"

#include "Common/MqttClient.h"

#include <QJsonDocument>
#include <QtDebug>

namespace manager {

namespace {

const char *const c_prefix = "[Network][Ethernet] ";
// The USB gadget link is reported on the same topics but is not the wired
// interface the screens configure.
const QString c_ignoredInterface = QStringLiteral("usb0");

MessageFrame::Options frameOptions()
{
    MessageFrame::Options options;
    options.prefix = QString::fromLatin1(c_prefix);
    options.emptyPayload = MessageFrame::EmptyPayload::Braces;
    return options;
}

} // namespace

Ethernet::Ethernet(MqttClient &mqtt, const QString &base, QObject *parent)
    : QObject(parent)
    , m_mqtt(mqtt)
    , m_base(base + QStringLiteral("/ethernet"))
    , m_frame(m_base, frameOptions())
{
    using namespace std::placeholders;
    m_frame.route(m_base + QStringLiteral("/state"), std::bind(&Ethernet::onStateReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/config"), std::bind(&Ethernet::onConfigReceived, this, _1, _2));

    connect(&m_mqtt, &MqttClient::received, this, [this](const QByteArray &data, const QByteArray &topic) {
        onMqttReceived(data, QString::fromUtf8(topic));
    });
    connect(&m_mqtt, &MqttClient::connected, this, &Ethernet::reset);

    subscribe();
}

void Ethernet::subscribe()
{
    qInfo().noquote().nospace() << c_prefix << "Subscribing to topics";
    m_mqtt.subscribe(m_base + QStringLiteral("/state"), 0);
    m_mqtt.subscribe(m_base + QStringLiteral("/config"), 0);
}

void Ethernet::setMethod(const QString &method)
{
    if (method == m_method)
        return;
    qInfo().noquote().nospace() << c_prefix << "Method changed : " << method;
    m_method = method;
    emit methodChanged();
}

void Ethernet::save()
{
    qInfo().noquote().nospace() << c_prefix << "Saving configuration";
    qInfo().noquote().nospace() << c_prefix << "-------------------------";
    qInfo().noquote().nospace() << c_prefix << "Method  : " << m_method;
    qInfo().noquote().nospace() << c_prefix << "Address : " << m_config.address();
    qInfo().noquote().nospace() << c_prefix << "Netmask : " << m_config.mask();
    qInfo().noquote().nospace() << c_prefix << "Gateway : " << m_config.gateway();
    qInfo().noquote().nospace() << c_prefix << "DNS     : " << m_config.dns0() << ", " << m_config.dns1();
    qInfo().noquote().nospace() << c_prefix << "-------------------------";

    // Addresses only mean something for a manual set-up; any other method
    // tells the service to clear them.
    const bool manual = m_method == QLatin1String("manual");
    const QJsonObject request {
        {QStringLiteral("interface"), m_interface},
        {QStringLiteral("method"), m_method},
        {QStringLiteral("address"), manual ? m_config.address() : QString()},
        {QStringLiteral("netmask"), manual ? m_config.mask() : QString()},
        {QStringLiteral("gateway"), manual ? m_config.gateway() : QString()},
        {QStringLiteral("dns0"), manual ? m_config.dns0() : QString()},
        {QStringLiteral("dns1"), manual ? m_config.dns1() : QString()},
    };
    m_mqtt.publish(QJsonDocument(request).toJson(QJsonDocument::Indented),
                   m_base + QStringLiteral("/config/set"), 0, false);
}

void Ethernet::reset()
{
    qInfo().noquote().nospace() << c_prefix << "Refreshing data";
    m_mqtt.publish(QByteArrayLiteral("{}"), m_base + QStringLiteral("/state/get"), 0, false);
    m_mqtt.publish(QByteArrayLiteral("{}"), m_base + QStringLiteral("/config/get"), 0, false);
}

void Ethernet::onMqttReceived(const QByteArray &data, const QString &topic)
{
    m_frame.dispatch(data, topic);
}

void Ethernet::onStateReceived(const QJsonObject &object, const QString &topic)
{
    qInfo().noquote().nospace() << c_prefix << "Processing state topic " << topic;
    const QString interface = object.value(QStringLiteral("interface")).toString();
    if (interface == c_ignoredInterface)
        return;

    if (interface != m_interface) {
        qInfo().noquote().nospace() << c_prefix << "Interface changed : " << interface;
        m_interface = interface;
        emit interfaceChanged();
    }
    const QString type = object.value(QStringLiteral("typeStr")).toString();
    if (type != m_type) {
        qInfo().noquote().nospace() << c_prefix << "Type changed : " << type;
        m_type = type;
        emit typeChanged();
    }
    const QString state = object.value(QStringLiteral("stateStr")).toString();
    if (state != m_state) {
        m_state = state;
        emit stateChanged();
    }
    const QString reason = object.value(QStringLiteral("reasonStr")).toString();
    if (reason != m_reason) {
        qInfo().noquote().nospace() << c_prefix << "Reason changed : " << reason;
        m_reason = reason;
        emit reasonChanged();
    }
    const QString mac = object.value(QStringLiteral("mac")).toString();
    if (mac != m_mac) {
        qInfo().noquote().nospace() << c_prefix << "MAC changed : " << mac;
        m_mac = mac;
        emit macChanged();
    }
    const QVariantMap ipv4 = object.value(QStringLiteral("ipv4")).toObject().toVariantMap();
    if (!m_ipv4.holds(ipv4)) {
        qInfo().noquote().nospace() << c_prefix << "IPv4 changed : " << ipv4;
        m_ipv4.fromMap(ipv4);
        emit ipv4Changed();
    }
}

void Ethernet::onConfigReceived(const QJsonObject &object, const QString &topic)
{
    qInfo().noquote().nospace() << c_prefix << "Processing config topic " << topic;
    if (object.value(QStringLiteral("interface")).toString() == c_ignoredInterface)
        return;

    setMethod(object.value(QStringLiteral("method")).toString());

    // The message also carries "interface" and "method", so it never equals
    // the five stored addresses: every accepted config is announced, while the
    // address signals fire only for real changes.
    const QVariantMap config = object.toVariantMap();
    if (config != m_config.toMap()) {
        qInfo().noquote().nospace() << c_prefix << "IPv4 changed : " << config;
        m_config.fromMap(config);
        emit configChanged();
    }
}

} // namespace manager
