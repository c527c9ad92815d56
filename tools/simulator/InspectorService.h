#pragma once

#include "SimulatedService.h"

// The system inspector: volume, sound playback, statistics, reboot and shutdown.
class InspectorService : public SimulatedService
{
    Q_OBJECT

public:
    InspectorService(manager::MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    void announce() override;

Q_SIGNALS:
    void soundPlayed(const QString &file);

private:
    void publishAudio();

    int m_volume = 70;
};
