#include "Network.h"

#include "Common/MqttClient.h"
#include "Peripheral/Ethernet.h"

#include <QtDebug>

namespace manager {

namespace {

const char *const c_prefix = "[Network] ";

MessageFrame::Options frameOptions()
{
    MessageFrame::Options options;
    options.prefix = QString::fromLatin1(c_prefix);
    options.emptyPayload = MessageFrame::EmptyPayload::Braces;
    return options;
}

} // namespace

Network::Network(MqttClient &mqtt, const QString &base, QObject *parent)
    : QObject(parent), m_mqtt(mqtt), m_base(base), m_frame(base, frameOptions())
{
    // Created first, so that on every connection its reset() runs before our refresh().
    m_ethernet = new Ethernet(m_mqtt, m_base, this);

    using namespace std::placeholders;
    m_frame.route(m_base + QStringLiteral("/info"), std::bind(&Network::onInfoReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/status"), std::bind(&Network::onStatusReceived, this, _1, _2));

    connect(&m_mqtt, &MqttClient::received, this, [this](const QByteArray &data, const QByteArray &topic) {
        onMqttReceived(data, QString::fromUtf8(topic));
    });
    connect(&m_mqtt, &MqttClient::connected, this, &Network::refresh);
    connect(&m_timer, &QTimer::timeout, this, &Network::refresh);

    subscribe();
}

void Network::subscribe()
{
    qInfo().noquote().nospace() << c_prefix << "Subscribing to topics";
    m_mqtt.subscribe(m_base + QStringLiteral("/info"), 0);
    m_mqtt.subscribe(m_base + QStringLiteral("/status"), 0);
}

void Network::refresh()
{
    // The service publishes its info and status unasked; there is nothing to request.
    qInfo().noquote().nospace() << c_prefix << "Refreshing data";
}

void Network::monitor(int msec)
{
    if (msec == 0) {
        qInfo().noquote().nospace() << c_prefix << "Monitor stopped";
        m_timer.stop();
        return;
    }
    qInfo().noquote().nospace() << c_prefix << "Monitor started : " << msec << " msec(s)";
    m_timer.setInterval(msec);
    m_timer.setSingleShot(false);
    m_timer.start();
    refresh();
}

void Network::onMqttReceived(const QByteArray &data, const QString &topic)
{
    m_frame.dispatch(data, topic);
}

void Network::onInfoReceived(const QJsonObject &, const QString &topic)
{
    qInfo().noquote().nospace() << c_prefix << "Processing info topic " << topic;
}

void Network::onStatusReceived(const QJsonObject &object, const QString &topic)
{
    qInfo().noquote().nospace() << c_prefix << "Processing status topic " << topic;

    const QString state = object.value(QStringLiteral("stateStr")).toString();
    if (state != m_connectionState) {
        m_connectionState = state;
        emit connectionStateChanged();
    }
    const QString connectivity = object.value(QStringLiteral("connectivityStr")).toString();
    if (connectivity != m_connectivity) {
        m_connectivity = connectivity;
        emit connectivityChanged();
    }
    const QString hostname = object.value(QStringLiteral("hostname")).toString();
    if (hostname != m_hostname) {
        m_hostname = hostname;
        emit hostnameChanged();
    }
    m_primary.fromMap(object.value(QStringLiteral("primaryConnection")).toObject().toVariantMap());
    emit primaryConnectionChanged();
}

} // namespace manager
