#pragma once

#include "Common/MessageFrame.h"

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>

namespace manager {

class MqttClient;

// Mirror of the I/O board service. No public operation changes a local value:
// writes and commands only publish a request, and the properties follow when
// the service publishes its new state.
class Board : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool ignition READ ignition NOTIFY ignitionChanged)
    Q_PROPERTY(QString poleId READ poleId NOTIFY poleIdChanged)
    Q_PROPERTY(double temperature READ temperature NOTIFY temperatureChanged)
    Q_PROPERTY(double voltage READ voltage NOTIFY voltageChanged)
    Q_PROPERTY(int displayBrightness READ displayBrightness WRITE setDisplayBrightness NOTIFY
                   displayBrightnessChanged)
    Q_PROPERTY(QString displayBrightnessMode READ displayBrightnessMode WRITE setDisplayBrightnessMode NOTIFY
                   displayBrightnessModeChanged)
    Q_PROPERTY(int ambientLightSensor READ ambientLightSensor NOTIFY ambientLightSensorChanged)
    Q_PROPERTY(QVariantMap info READ info NOTIFY infoChanged)
    Q_PROPERTY(bool audioEnabled READ audioEnabled WRITE setAudioEnabled NOTIFY audioEnabledChanged)
    Q_PROPERTY(QVariantList peripherals READ peripherals WRITE setPeripherals NOTIFY peripheralsChanged)
    Q_PROPERTY(bool rtcFailed READ rtcFailed NOTIFY rtcFailedChanged)
    Q_PROPERTY(
        int delayShutdownFor READ delayShutdownFor WRITE setDelayShutdownFor NOTIFY delayShutdownForChanged)

public:
    explicit Board(MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    bool ignition() const { return m_ignition; }
    QString poleId() const;
    double temperature() const;
    double voltage() const;
    int displayBrightness() const;
    QString displayBrightnessMode() const;
    int ambientLightSensor() const;
    QVariantMap info() const { return m_info; }
    bool audioEnabled() const;
    QVariantList peripherals() const;
    void setPeripherals(const QVariantList &list);
    bool rtcFailed() const;
    int delayShutdownFor() const { return m_delayShutdownFor; }
    void setDelayShutdownFor(int sec);

    Q_INVOKABLE QString status() const { return m_status; }
    Q_INVOKABLE int uptime() const;

Q_SIGNALS:
    void infoChanged();
    void statusChanged();
    void ignitionChanged();
    void poleIdChanged();
    void temperatureChanged();
    void voltageChanged();
    void uptimeChanged();
    void peripheralPowerChanged(const QString &peripheral, bool value);
    void audioEnabledChanged();
    void rtcFailedChanged();
    void displayBrightnessChanged();
    void displayBrightnessModeChanged();
    void ambientLightSensorChanged();
    void peripheralsChanged();
    void delayShutdownForChanged();

public Q_SLOTS:
    void refresh();
    void monitor(int msec);
    void setPeripheralPower(const QString &peripheral, bool value);
    void setLedValid();
    void setLedInvalid();
    void setLedTestPattern();
    void setLedOff();
    void setDisplayBrightness(int value);
    void setDisplayBrightnessMode(const QString &value);
    void setAudioEnabled(bool value);
    bool peripheralPower(const QString &peripheral) const;
    void playBuzzer(int onMsec, int offMsec, int repeat = 0);

private Q_SLOTS:
    void onMqttReceived(const QByteArray &data, const QString &topic);

private:
    void subscribe();
    void publish(const QByteArray &data, const QString &suffix);
    void publishJson(const QJsonObject &object, const QString &suffix);
    void setStatus(const QString &status);
    void setIgnition(bool ignition);

    void onInfoReceived(const QJsonObject &object, const QString &topic);
    void onStatusReceived(const QJsonObject &object, const QString &topic);
    void onConfigReceived(const QJsonObject &object, const QString &topic);
    void onDisplayReceived(const QJsonObject &object, const QString &topic);
    void onPowerReceived(const QJsonObject &object, const QString &topic);
    void onEventReceived(const QJsonObject &object, const QString &topic);
    void onAudioReceived(const QJsonObject &object, const QString &topic);

    MqttClient &m_mqtt;
    QString m_base;
    QVariantMap m_info;
    QString m_status;
    // Maps, not JSON objects: a JSON object whose text members are replaced
    // again and again keeps every old text (Qt 5.15), so a long-lived mirror
    // would grow with each message.
    QVariantMap m_device;
    QVariantMap m_display;
    QVariantMap m_power;
    QVariantMap m_audio;
    int m_delayShutdownFor = 0;
    QTimer m_timer;
    bool m_ignition = true;
    // Display names, translated once on the first read of the list.
    mutable QMap<QString, QString> m_peripheralNames;
    MessageFrame m_frame;
};

} // namespace manager
