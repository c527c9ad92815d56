#pragma once

#include "Common/MessageFrame.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

namespace manager {

class MqttClient;

// The device's time settings: the time zone through the system's time and
// date command, network time through the device service.
class Clock : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList timezones READ timezones NOTIFY timezonesChanged)
    Q_PROPERTY(QString timezone READ timezone WRITE setTimezone NOTIFY timezoneChanged)
    Q_PROPERTY(QString ntpServer READ ntpServer WRITE setNtpServer NOTIFY ntpServerChanged)
    Q_PROPERTY(bool ntpEnabled READ ntpEnabled WRITE setNtpEnabled NOTIFY ntpEnabledChanged)
    Q_PROPERTY(bool ntpSynced READ ntpSynced NOTIFY ntpSyncedChanged)

public:
    // base is the device base topic; "/clock/ntp" is appended here.
    explicit Clock(MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    QStringList timezones() const { return m_timezones; }
    // Runs the zone query on every read: bind it once.
    QString timezone() const;
    void setTimezone(const QString &value);
    QString ntpServer() const { return m_ntpServer; }
    void setNtpServer(const QString &value);
    bool ntpEnabled() const { return m_ntpEnabled; }
    void setNtpEnabled(bool value);
    bool ntpSynced() const { return m_ntpSynced; }

    // How long one run of the time and date command may block the GUI thread.
    static constexpr int c_commandTimeoutMs = 1000;

Q_SIGNALS:
    void timezonesChanged();
    void timezoneChanged();
    void ntpServerChanged();
    void ntpEnabledChanged();
    void ntpSyncedChanged();

public Q_SLOTS:
    void ntpSync();
    void refresh();

private Q_SLOTS:
    void onMqttReceived(const QByteArray &data, const QString &topic);

private:
    // The command's standard output. When failure is given, it receives why
    // the command did not succeed (empty when it did).
    static QString runCommand(const QStringList &arguments, QString *failure = nullptr);
    void publish(const QByteArray &data, const QString &suffix);
    void publishConfig(bool enabled, const QString &server);
    void onStatusReceived(const QJsonObject &object, const QString &topic);
    void onConfigReceived(const QJsonObject &object, const QString &topic);

    MqttClient &m_mqtt;
    QString m_base;
    QStringList m_timezones;
    QString m_ntpServer;
    bool m_ntpEnabled = false;
    bool m_ntpSynced = false;
    MessageFrame m_frame;
};

} // namespace manager
