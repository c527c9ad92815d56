#pragma once

#include "SimulatedService.h"

// The network service with its Ethernet interface "eth0".
class NetworkService : public SimulatedService
{
    Q_OBJECT

public:
    NetworkService(manager::MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    void announce() override;

private:
    void publishEthernetState();
    void publishEthernetConfig();
    QJsonObject liveAddresses() const;

    QString m_ethernet;
    QJsonObject m_config;
};
