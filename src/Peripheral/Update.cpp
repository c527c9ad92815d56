#include "Update.h"

#include "Common/MqttClient.h"

#include <QtDebug>

namespace manager {

namespace {

const char *const c_prefix = "[Update] ";

MessageFrame::Options frameOptions()
{
    MessageFrame::Options options;
    options.prefix = QString::fromLatin1(c_prefix);
    options.emptyPayload = MessageFrame::EmptyPayload::EmptyObject;
    return options;
}

} // namespace

Update::Update(MqttClient &mqtt, const QString &base, QObject *parent)
    : QObject(parent), m_mqtt(mqtt), m_base(base), m_frame(base, frameOptions())
{
    using namespace std::placeholders;
    const auto progress = std::bind(&Update::onUpdateProgressReceived, this, _1, _2);
    m_frame.route(m_base + QStringLiteral("/status"), std::bind(&Update::onStatusReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/update/software/status"),
                  std::bind(&Update::onUpdateStatusReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/update/software/progress"), progress);
    // Older services publish their progress under this misspelt name.
    m_frame.route(m_base + QStringLiteral("/update/software/progess"), progress);

    m_checkTimer.setSingleShot(true);

    connect(&m_mqtt, &MqttClient::received, this, [this](const QByteArray &data, const QByteArray &topic) {
        onMqttReceived(data, QString::fromUtf8(topic));
    });
    connect(&m_mqtt, &MqttClient::connected, this, &Update::refresh);
    connect(&m_mqtt, &MqttClient::disconnected, this, &Update::onMqttDisconnected);
    connect(&m_checkTimer, &QTimer::timeout, this, &Update::checkTimerExpired);

    for (const char *suffix :
         {"/status", "/update/software/status", "/update/software/progress", "/update/software/progess"})
        m_mqtt.subscribe(m_base + QLatin1String(suffix), 0);
}

void Update::refresh()
{
    publish(QStringLiteral("/status/get"));
}

void Update::check()
{
    qInfo().noquote().nospace() << c_prefix << "Checking for updates";
    setStatus(QStringLiteral("Checking for updates"));
    m_checkTimer.start(c_checkTimeoutMs);
    publish(QStringLiteral("/software/check"));
}

void Update::install()
{
    if (m_pending.isEmpty()) {
        qWarning().noquote().nospace() << c_prefix << "WARN: Cannot install. There are no pending versions";
        return;
    }
    qInfo().noquote().nospace() << c_prefix << "Installing pending update : " << m_pending;
    publish(QStringLiteral("/update/software/install"));
}

void Update::onMqttReceived(const QByteArray &data, const QString &topic)
{
    m_frame.dispatch(data, topic);
}

void Update::onMqttDisconnected()
{
    setStatus(QStringLiteral("Disconnected"));
}

void Update::checkTimerExpired()
{
    qInfo().noquote().nospace() << c_prefix << "No pedning updates";
    setStatusFromPending();
}

void Update::publish(const QString &suffix)
{
    m_mqtt.publish(QByteArray(), m_base + suffix, 0, false);
}

void Update::setStatus(const QString &value)
{
    if (value == m_status)
        return;
    m_status = value;
    emit statusChanged();
}

void Update::setCurrent(const QString &value)
{
    if (value == m_current)
        return;
    m_current = value;
    emit currentChanged();
}

void Update::setPending(const QString &value)
{
    if (value == m_pending)
        return;
    m_pending = value;
    emit pendingChanged();
}

void Update::setProgressMessage(const QString &value)
{
    if (value == m_progressMessage)
        return;
    m_progressMessage = value;
    emit progressMessageChanged();
}

void Update::setProgressPercent(int value)
{
    if (value == m_progressPercent)
        return;
    m_progressPercent = value;
    emit progressPercentChanged();
}

void Update::setStatusFromPending()
{
    setStatus(m_pending.isEmpty() ? QStringLiteral("No pending updates")
                                  : QStringLiteral("Ready to install"));
}

void Update::onStatusReceived(const QJsonObject &object, const QString &)
{
    const QJsonValue software
        = object.value(QStringLiteral("update")).toObject().value(QStringLiteral("software"));
    if (software.isString()) {
        setCurrent(software.toString());
    } else if (software.isObject()) {
        const QJsonObject versions = software.toObject();
        setCurrent(versions.value(QStringLiteral("current")).toString());
        setPending(versions.value(QStringLiteral("pending")).toString());
    }
    setStatusFromPending();
    setProgressMessage(QStringLiteral("Idle"));
    setProgressPercent(0);
}

void Update::onUpdateStatusReceived(const QJsonObject &object, const QString &)
{
    setCurrent(object.value(QStringLiteral("current")).toString());
    setPending(object.value(QStringLiteral("pending")).toString());
}

void Update::onUpdateProgressReceived(const QJsonObject &object, const QString &)
{
    setProgressMessage(object.value(QStringLiteral("message")).toString());
    setProgressPercent(MessageFrame::toInt(object.value(QStringLiteral("progress"))));
    setPending(object.value(QStringLiteral("version")).toString());
    m_checkTimer.stop();
    setStatus(m_progressMessage.contains(QLatin1Char('/')) ? QStringLiteral("Downloading")
                                                           : QStringLiteral("Installing"));
}

} // namespace manager
