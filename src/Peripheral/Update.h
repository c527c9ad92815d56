#pragma once

#include "Common/MessageFrame.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

namespace manager {

class MqttClient;

// Software update through the device service: installed and pending version,
// a one-line status and the progress of a download or installation.
class Update : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString current READ current NOTIFY currentChanged)
    Q_PROPERTY(QString pending READ pending NOTIFY pendingChanged)
    Q_PROPERTY(QString progressMessage READ progressMessage NOTIFY progressMessageChanged)
    Q_PROPERTY(int progressPercent READ progressPercent NOTIFY progressPercentChanged)

public:
    explicit Update(MqttClient &mqtt, const QString &base, QObject *parent = nullptr);

    QString status() const { return m_status; }
    QString current() const { return m_current; }
    QString pending() const { return m_pending; }
    QString progressMessage() const { return m_progressMessage; }
    int progressPercent() const { return m_progressPercent; }

    // Asks the service for the device status; runs on every broker connection.
    void refresh();

    // How long a check waits for the service before deciding from what it knows.
    static constexpr int c_checkTimeoutMs = 5000;

Q_SIGNALS:
    void statusChanged();
    void currentChanged();
    void pendingChanged();
    void progressMessageChanged();
    void progressPercentChanged();
    void checkFinished();
    void installFinished();

public Q_SLOTS:
    void check();
    void install();

private Q_SLOTS:
    void onMqttReceived(const QByteArray &data, const QString &topic);
    void onMqttDisconnected();
    void checkTimerExpired();

private:
    void publish(const QString &suffix);
    void setStatus(const QString &value);
    void setCurrent(const QString &value);
    void setPending(const QString &value);
    void setProgressMessage(const QString &value);
    void setProgressPercent(int value);
    void setStatusFromPending();

    void onStatusReceived(const QJsonObject &object, const QString &topic);
    void onUpdateStatusReceived(const QJsonObject &object, const QString &topic);
    void onUpdateProgressReceived(const QJsonObject &object, const QString &topic);

    MqttClient &m_mqtt;
    QString m_base;
    QString m_status = QStringLiteral("Disconnected");
    QString m_current;
    QString m_pending;
    QString m_progressMessage;
    int m_progressPercent = 0;
    QTimer m_checkTimer;
    MessageFrame m_frame;
};

} // namespace manager
