#pragma once

#include "SimulatedService.h"

#include <QTimer>

// The device service: NTP time keeping and software updates.
class DeviceService : public SimulatedService
{
    Q_OBJECT

public:
    DeviceService(manager::MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    void announce() override;

private:
    void publishStatus();
    void publishUpdateStatus();
    void publishNtpStatus();
    void publishNtpConfig();
    void stepInstall();

    QString m_current = QStringLiteral("1.0.21");
    QString m_pending;
    bool m_ntpEnabled = true;
    bool m_ntpSynced = true;
    QString m_ntpServer = QStringLiteral("pool.ntp.example");
    QTimer m_installTimer;
    int m_installStep = 0;
};
