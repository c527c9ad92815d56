#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>
#include <map>

namespace manager {
class MqttClient;
}

// One device service played on the broker: answers requests under its base topic
// and publishes its state back, the way the real service does.
class SimulatedService : public QObject
{
    Q_OBJECT

public:
    SimulatedService(manager::MqttClient &mqtt, QString name, QString base, QObject *parent = nullptr);

    const QString &base() const { return m_base; }

    // Publishes everything the service offers without being asked (info, status, config).
    virtual void announce() = 0;

protected:
    using Handler = std::function<void(const QJsonObject &object, const QByteArray &raw)>;

    // Subscribes topic and calls handler with its payload read leniently: bad
    // JSON from the UI (or anyone) is logged and read as an empty object.
    void handle(const QString &topic, Handler handler);
    void publish(const QString &topic, const QJsonObject &object, bool retain = false);
    void publishRaw(const QString &topic, const QByteArray &payload, bool retain = false);
    void say(const QString &text) const;

    manager::MqttClient &m_mqtt;
    QString m_name;
    QString m_base;

private:
    void onReceived(const QByteArray &data, const QByteArray &from);

    std::map<QString, Handler> m_handlers;
};
