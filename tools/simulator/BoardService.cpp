#include "BoardService.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

BoardService::BoardService(manager::MqttClient &mqtt, const QString &base, QObject *parent)
    : SimulatedService(mqtt, QStringLiteral("board"), base, parent)
{
    for (const char *name :
         {"display", "ftdi", "mPCIe1", "mPCIe2", "qrReader", "rfidReader", "touch", "usbHost1", "usbHub"})
        m_power.insert(QLatin1String(name), true);

    handle(m_base + QStringLiteral("/status/get"),
           [this](const QJsonObject &, const QByteArray &) { publishStatus(); });
    handle(m_base + QStringLiteral("/display/get"),
           [this](const QJsonObject &, const QByteArray &) { publishDisplay(); });
    handle(m_base + QStringLiteral("/power/get"),
           [this](const QJsonObject &, const QByteArray &) { publishPower(); });
    handle(m_base + QStringLiteral("/audio/get"),
           [this](const QJsonObject &, const QByteArray &) { publishAudio(); });
    handle(m_base + QStringLiteral("/display/set"), [this](const QJsonObject &o, const QByteArray &) {
        if (o.value(QStringLiteral("brightness")).isDouble())
            m_brightness = qBound(0, o.value(QStringLiteral("brightness")).toInt(), 100);
        if (o.value(QStringLiteral("mode")).isString())
            m_mode = o.value(QStringLiteral("mode")).toString();
        say(QStringLiteral("display: brightness %1, mode %2").arg(m_brightness).arg(m_mode));
        publishDisplay();
    });
    handle(m_base + QStringLiteral("/audio/set"), [this](const QJsonObject &o, const QByteArray &) {
        m_mute = o.value(QStringLiteral("mute")).toBool();
        say(m_mute ? QStringLiteral("audio muted") : QStringLiteral("audio unmuted"));
        publishAudio();
    });
    handle(m_base + QStringLiteral("/power/set"), [this](const QJsonObject &o, const QByteArray &) {
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (!it.value().isBool())
                continue;
            m_power.insert(it.key(), it.value());
            say(QStringLiteral("power %1 %2")
                    .arg(it.key(), it.value().toBool() ? QStringLiteral("on") : QStringLiteral("off")));
        }
        publishPower();
    });
    handle(m_base + QStringLiteral("/config/set"), [this](const QJsonObject &o, const QByteArray &) {
        const QJsonValue delay
            = o.value(QStringLiteral("device")).toObject().value(QStringLiteral("delayShutdownFor"));
        if (delay.isDouble())
            m_delayShutdownFor = delay.toInt();
        say(QStringLiteral("power-off delay %1 s").arg(m_delayShutdownFor));
        publishConfig();
    });
    handle(m_base + QStringLiteral("/led/play/request/1"), [this](const QJsonObject &o, const QByteArray &) {
        const QJsonObject first = o.value(QStringLiteral("steps"))
                                      .toArray()
                                      .first()
                                      .toObject()
                                      .value(QStringLiteral("color"))
                                      .toObject();
        say(QStringLiteral("LEDs: pattern rgb(%1,%2,%3) x%4")
                .arg(first.value(QStringLiteral("r")).toInt())
                .arg(first.value(QStringLiteral("g")).toInt())
                .arg(first.value(QStringLiteral("b")).toInt())
                .arg(o.value(QStringLiteral("repeat")).toInt()));
    });
    handle(m_base + QStringLiteral("/led/off/request/1"),
           [this](const QJsonObject &, const QByteArray &) { say(QStringLiteral("LEDs: off")); });
    handle(m_base + QStringLiteral("/buzzer/play/request/1"),
           [this](const QJsonObject &o, const QByteArray &) {
               say(QStringLiteral("buzzer: %1")
                       .arg(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact))));
           });
}

void BoardService::announce()
{
    // The UI never asks for info or config: they are retained for late subscribers.
    publish(m_base + QStringLiteral("/info"),
            QJsonObject {{QStringLiteral("device"),
                          QJsonObject {{QStringLiteral("firmwareVersion"), QStringLiteral("4.2.0")},
                                       {QStringLiteral("hardwareId"), QStringLiteral("BRD-7731-0042")},
                                       {QStringLiteral("hardwareVersion"), QStringLiteral("rev C")}}},
                         {QStringLiteral("service"),
                          QJsonObject {{QStringLiteral("version"), QStringLiteral("1.8.3")}}}},
            true);
    publishConfig();
    publishStatus();
}

void BoardService::setIgnition(bool on)
{
    m_ignition = on;
    say(on ? QStringLiteral("ignition on") : QStringLiteral("ignition off"));
    publish(m_base + QStringLiteral("/event"),
            QJsonObject {{QStringLiteral("name"), QStringLiteral("IgnitionChanged")},
                         {QStringLiteral("data"), on ? 1 : 0}});
    publishStatus();
}

void BoardService::publishStatus()
{
    const qint64 uptime = QDateTime::currentSecsSinceEpoch() % 100000;
    publish(m_base + QStringLiteral("/status"),
            QJsonObject {{QStringLiteral("service"), true},
                         {QStringLiteral("device"),
                          QJsonObject {{QStringLiteral("active"), true},
                                       {QStringLiteral("ignition"), m_ignition},
                                       {QStringLiteral("poleId"), QStringLiteral("P-0417")},
                                       {QStringLiteral("temperature"), 41.5},
                                       {QStringLiteral("voltage"), 24.2},
                                       {QStringLiteral("uptime"), uptime},
                                       {QStringLiteral("hardwareStatus"),
                                        QJsonObject {{QStringLiteral("rtcFailed"), false}}}}}});
}

void BoardService::publishDisplay()
{
    const int sensor = 35 + int(QDateTime::currentSecsSinceEpoch() % 20);
    publish(
        m_base + QStringLiteral("/display"),
        QJsonObject {{QStringLiteral("brightness"), m_mode == QLatin1String("auto") ? sensor : m_brightness},
                     {QStringLiteral("sensor"), sensor},
                     {QStringLiteral("mode"), m_mode}});
}

void BoardService::publishPower()
{
    publish(m_base + QStringLiteral("/power"), m_power);
}

void BoardService::publishAudio()
{
    publish(m_base + QStringLiteral("/audio"), QJsonObject {{QStringLiteral("mute"), m_mute}});
}

void BoardService::publishConfig()
{
    publish(m_base + QStringLiteral("/config"),
            QJsonObject {{QStringLiteral("device"),
                          QJsonObject {{QStringLiteral("delayShutdownFor"), m_delayShutdownFor}}}},
            true);
}
