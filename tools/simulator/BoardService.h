#pragma once

#include "SimulatedService.h"

// The I/O board: LEDs, buzzer, backlight, mute, peripheral power, ignition.
class BoardService : public SimulatedService
{
    Q_OBJECT

public:
    BoardService(manager::MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    void announce() override;
    void setIgnition(bool on);
    bool ignition() const { return m_ignition; }

private:
    void publishStatus();
    void publishDisplay();
    void publishPower();
    void publishAudio();
    void publishConfig();

    bool m_ignition = true;
    int m_brightness = 80;
    QString m_mode = QStringLiteral("auto");
    bool m_mute = false;
    int m_delayShutdownFor = 120;
    QJsonObject m_power;
};
