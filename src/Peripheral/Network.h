#pragma once

#include "Common/MessageFrame.h"
#include "Peripheral/Connection.h"
#include "Peripheral/Ethernet.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

namespace manager {

class MqttClient;

// Mirror of the network service: overall state, connectivity, host name and
// the primary connection. The wired interface has its own proxy, a child.
class Network : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString connectionState READ connectionState NOTIFY connectionStateChanged)
    Q_PROPERTY(QString connectivity READ connectivity NOTIFY connectivityChanged)
    Q_PROPERTY(QString hostname READ hostname NOTIFY hostnameChanged)
    Q_PROPERTY(manager::Connection *primaryConnection READ primaryConnection NOTIFY primaryConnectionChanged)
    Q_PROPERTY(manager::Ethernet *ethernet READ ethernet NOTIFY ethernetChanged)

public:
    explicit Network(MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    QString connectionState() const { return m_connectionState; }
    QString connectivity() const { return m_connectivity; }
    QString hostname() const { return m_hostname; }
    Connection *primaryConnection() { return &m_primary; }
    Ethernet *ethernet() const { return m_ethernet; }

Q_SIGNALS:
    void connectionStateChanged();
    void connectivityChanged();
    void hostnameChanged();
    void primaryConnectionChanged();
    void ethernetChanged();

public Q_SLOTS:
    void refresh();
    void monitor(int msec);

private Q_SLOTS:
    void onMqttReceived(const QByteArray &data, const QString &topic);

private:
    void subscribe();
    void onInfoReceived(const QJsonObject &object, const QString &topic);
    void onStatusReceived(const QJsonObject &object, const QString &topic);

    MqttClient &m_mqtt;
    QString m_base;
    QTimer m_timer;
    QString m_connectionState;
    QString m_connectivity;
    QString m_hostname;
    Connection m_primary;
    Ethernet *m_ethernet = nullptr;
    MessageFrame m_frame;
};

} // namespace manager
