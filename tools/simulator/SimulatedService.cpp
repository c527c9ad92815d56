#include "SimulatedService.h"

#include "Common/MqttClient.h"

#include <QJsonDocument>
#include <QTextStream>

SimulatedService::SimulatedService(manager::MqttClient &mqtt, QString name, QString base, QObject *parent)
    : QObject(parent), m_mqtt(mqtt), m_name(std::move(name)), m_base(std::move(base))
{
    connect(&m_mqtt, &manager::MqttClient::received, this, &SimulatedService::onReceived);
    connect(&m_mqtt, &manager::MqttClient::connected, this, &SimulatedService::announce);
}

void SimulatedService::handle(const QString &topic, Handler handler)
{
    m_handlers[topic] = std::move(handler);
    m_mqtt.subscribe(topic);
}

void SimulatedService::onReceived(const QByteArray &data, const QByteArray &from)
{
    const auto it = m_handlers.find(QString::fromUtf8(from));
    if (it == m_handlers.end())
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (!data.isEmpty() && error.error != QJsonParseError::NoError)
        say(QStringLiteral("ignoring bad JSON on %1: %2").arg(it->first, error.errorString()));
    it->second(document.object(), data);
}

void SimulatedService::publish(const QString &topic, const QJsonObject &object, bool retain)
{
    publishRaw(topic, QJsonDocument(object).toJson(QJsonDocument::Indented), retain);
}

void SimulatedService::publishRaw(const QString &topic, const QByteArray &payload, bool retain)
{
    m_mqtt.publish(payload, topic, 0, retain);
}

void SimulatedService::say(const QString &text) const
{
    QTextStream(stdout) << "[" << m_name << "] " << text << Qt::endl;
}
