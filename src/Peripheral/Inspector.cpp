#include "Inspector.h"

#include "Common/MqttClient.h"

#include <QJsonDocument>
#include <QtDebug>

namespace manager {

namespace {

const char *const c_prefix = "[Inspector] ";
const QString c_card = QStringLiteral("internal");

MessageFrame::Options frameOptions()
{
    MessageFrame::Options options;
    options.prefix = QString::fromLatin1(c_prefix);
    options.emptyPayload = MessageFrame::EmptyPayload::Braces;
    return options;
}

} // namespace

Inspector::Inspector(MqttClient &mqtt, const QString &base, QObject *parent)
    : QObject(parent), m_mqtt(mqtt), m_base(base), m_frame(base, frameOptions())
{
    using namespace std::placeholders;
    m_frame.route(m_base + QStringLiteral("/info"), std::bind(&Inspector::onInfoReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/status"), std::bind(&Inspector::onStatusReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/audio"), std::bind(&Inspector::onAudioReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/stats"), std::bind(&Inspector::onStatsReceived, this, _1, _2),
                  MessageFrame::Match::Substring);

    connect(&m_mqtt, &MqttClient::received, this, [this](const QByteArray &data, const QByteArray &topic) {
        onMqttReceived(data, QString::fromUtf8(topic));
    });
    connect(&m_mqtt, &MqttClient::connected, this, &Inspector::refresh);
    connect(&m_timer, &QTimer::timeout, this, &Inspector::refresh);
    connect(&m_shutdownTimer, &QTimer::timeout, this, &Inspector::systemShutdown);

    subscribe();
}

void Inspector::subscribe()
{
    qInfo().noquote().nospace() << c_prefix << "Subscribing to topics";
    for (const char *suffix : {"/info", "/status", "/audio", "/stats/cpu", "/stats/memory", "/stats/disk"})
        m_mqtt.subscribe(m_base + QLatin1String(suffix), 0);
}

int Inspector::audioVolume() const
{
    return m_audio.value(c_card).toInt();
}

void Inspector::refresh()
{
    qInfo().noquote().nospace() << c_prefix << "Refreshing data";
    const QByteArray empty = QByteArrayLiteral("{}");
    publish(empty, QStringLiteral("/audio/get"));
    publish(empty, QStringLiteral("/stats/memory/get"));
    publish(empty, QStringLiteral("/stats/disk/get"));
    publish(empty, QStringLiteral("/stats/cpu/get"));
}

void Inspector::monitor(int msec)
{
    if (msec == 0) {
        qInfo().noquote().nospace() << c_prefix << "Monitor stopped";
        m_timer.stop();
        return;
    }
    qInfo().noquote().nospace() << c_prefix << "Monitor started : " << msec << " msec(s)";
    m_timer.setInterval(msec);
    m_timer.setSingleShot(false);
    m_timer.start();
    refresh();
}

void Inspector::setAudioVolume(int value)
{
    qInfo().noquote().nospace() << c_prefix << "Setting 'internal' audio volume : " << value << "%";
    const QJsonObject request {{c_card, QJsonObject {{QStringLiteral("volume"), value}}}};
    publish(QJsonDocument(request).toJson(QJsonDocument::Indented), QStringLiteral("/audio/set"));
}

void Inspector::audioPlay(const QString &file)
{
    qInfo().noquote().nospace() << c_prefix << "Playing audio file (card='internal') : " << file;
    const QJsonObject request {{QStringLiteral("device"), c_card}, {QStringLiteral("filepath"), file}};
    publish(QJsonDocument(request).toJson(QJsonDocument::Indented), QStringLiteral("/audio/play"));
}

void Inspector::systemReboot()
{
    qInfo().noquote().nospace() << c_prefix << "Requesting System reboot";
    emit systemRebootStarted();
    // Once announced, the request goes out: nothing cancels this delay.
    QTimer::singleShot(c_powerActionDelayMs, this,
                       [this] { publish(QByteArray(), QStringLiteral("/power/reboot/request/1")); });
}

void Inspector::systemShutdown()
{
    qInfo().noquote().nospace() << c_prefix << "Requesting System shutdown";
    emit systemShutdownStarted();
    QTimer::singleShot(c_powerActionDelayMs, this,
                       [this] { publish(QByteArray(), QStringLiteral("/power/shutdown/request/1")); });
}

void Inspector::scheduleShutdown(int sec)
{
    // A timer counts an int of milliseconds and never fires for a negative
    // delay: the delay is held to what it can count, so a parked vehicle is
    // always shut down in the end.
    const int held = qBound(0, sec, c_maxShutdownDelaySec);
    if (held != sec)
        qWarning().noquote().nospace()
            << c_prefix << "WARN: Shutdown delay out of range : " << sec << " sec(s), using " << held;
    qInfo().noquote().nospace() << c_prefix << "Scheduling System shutdown in : " << held << " sec(s)";
    m_shutdownTimer.setSingleShot(true);
    m_shutdownTimer.start(std::chrono::seconds(held));
}

void Inspector::abortShutdown()
{
    qInfo().noquote().nospace() << c_prefix << "Aborting System shutdown";
    m_shutdownTimer.stop();
}

void Inspector::onMqttReceived(const QByteArray &data, const QString &topic)
{
    m_frame.dispatch(data, topic);
}

void Inspector::publish(const QByteArray &data, const QString &suffix)
{
    m_mqtt.publish(data, m_base + suffix, 0, false);
}

void Inspector::setStatus(const QString &status)
{
    if (status == m_status)
        return;
    qInfo().noquote().nospace() << c_prefix << "Status changed : " << status;
    m_status = status;
    emit statusChanged();
}

void Inspector::onInfoReceived(const QJsonObject &object, const QString &topic)
{
    qInfo().noquote().nospace() << c_prefix << "Processing info topic " << topic;
    m_info.insert(
        QStringLiteral("version"),
        object.value(QStringLiteral("service")).toObject().value(QStringLiteral("version")).toString());
    emit infoChanged();
}

void Inspector::onStatusReceived(const QJsonObject &object, const QString &topic)
{
    qInfo().noquote().nospace() << c_prefix << "Processing status topic " << topic;
    setStatus(object.value(QStringLiteral("service")).toBool() ? QStringLiteral("online")
                                                               : QStringLiteral("offline"));
}

void Inspector::onAudioReceived(const QJsonObject &object, const QString &)
{
    const int volume = MessageFrame::toInt(object.value(c_card).toObject().value(QStringLiteral("volume")));
    if (volume == audioVolume())
        return;
    m_audio.insert(c_card, volume);
    emit audioVolumeChanged();
}

void Inspector::onStatsReceived(const QJsonObject &, const QString &)
{
    // The statistics are requested, but no layout of their messages is agreed
    // with the service yet, so memory, cpu and disks stay empty.
}

} // namespace manager
