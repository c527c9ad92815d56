#pragma once

#include "Common/MessageFrame.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>

#include <climits>

namespace manager {

class MqttClient;

// Mirror of the system inspector service, and owner of the timing of the power
// actions: the delayed shutdown after the ignition went off, and the pause
// between announcing a reboot or shutdown and requesting it.
class Inspector : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantMap info READ info NOTIFY infoChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QVariantMap memory READ memory NOTIFY memoryChanged)
    Q_PROPERTY(QVariantMap cpu READ cpu NOTIFY cpuChanged)
    Q_PROPERTY(QVariantMap disks READ disks NOTIFY disksChanged)
    Q_PROPERTY(int audioVolume READ audioVolume WRITE setAudioVolume NOTIFY audioVolumeChanged)

public:
    explicit Inspector(MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    QVariantMap info() const { return m_info; }
    QString status() const { return m_status; }
    QVariantMap memory() const { return m_memory; }
    QVariantMap cpu() const { return m_cpu; }
    QVariantMap disks() const { return m_disks; }
    int audioVolume() const;

    // Time the screens get to show a power action before it is requested.
    static constexpr int c_powerActionDelayMs = 2000;
    // The longest delay a timer can count in milliseconds.
    static constexpr int c_maxShutdownDelaySec = INT_MAX / 1000;

Q_SIGNALS:
    void infoChanged();
    void statusChanged();
    void memoryChanged();
    void cpuChanged();
    void disksChanged();
    void audioVolumeChanged();
    void systemRebootStarted();
    void systemShutdownStarted();

public Q_SLOTS:
    void refresh();
    void monitor(int msec);
    void setAudioVolume(int value);
    void audioPlay(const QString &file);
    void systemReboot();
    void systemShutdown();
    void scheduleShutdown(int sec);
    void abortShutdown();

private Q_SLOTS:
    void onMqttReceived(const QByteArray &data, const QString &topic);

private:
    void subscribe();
    void publish(const QByteArray &data, const QString &suffix);
    void setStatus(const QString &status);

    void onInfoReceived(const QJsonObject &object, const QString &topic);
    void onStatusReceived(const QJsonObject &object, const QString &topic);
    void onAudioReceived(const QJsonObject &object, const QString &topic);
    void onStatsReceived(const QJsonObject &object, const QString &topic);

    MqttClient &m_mqtt;
    QString m_base;
    QVariantMap m_info;
    QString m_status;
    QVariantMap m_memory;
    QVariantMap m_cpu;
    QVariantMap m_disks;
    QVariantMap m_audio;
    QTimer m_timer;
    QTimer m_shutdownTimer;
    MessageFrame m_frame;
};

} // namespace manager
