#include "InspectorService.h"

#include <QFileInfo>

InspectorService::InspectorService(manager::MqttClient &mqtt, const QString &base, QObject *parent)
    : SimulatedService(mqtt, QStringLiteral("inspector"), base, parent)
{
    handle(m_base + QStringLiteral("/audio/get"),
           [this](const QJsonObject &, const QByteArray &) { publishAudio(); });
    handle(m_base + QStringLiteral("/audio/set"), [this](const QJsonObject &o, const QByteArray &) {
        const QJsonValue volume
            = o.value(QStringLiteral("internal")).toObject().value(QStringLiteral("volume"));
        if (volume.isDouble())
            m_volume = qBound(0, volume.toInt(), 100);
        say(QStringLiteral("volume %1%").arg(m_volume));
        publishAudio();
    });
    handle(m_base + QStringLiteral("/audio/play"), [this](const QJsonObject &o, const QByteArray &) {
        const QString file = o.value(QStringLiteral("filepath")).toString();
        say(QStringLiteral("playing %1").arg(QFileInfo(file).fileName()));
        emit soundPlayed(file);
    });
    for (const char *kind : {"cpu", "memory", "disk"}) {
        const QString name = QLatin1String(kind);
        handle(m_base + QStringLiteral("/stats/%1/get").arg(name),
               [this, name](const QJsonObject &, const QByteArray &) {
                   publish(m_base + QStringLiteral("/stats/") + name,
                           QJsonObject {{QStringLiteral("usage"), name == QLatin1String("cpu") ? 12 : 43}});
               });
    }
    handle(m_base + QStringLiteral("/power/reboot/request/1"),
           [this](const QJsonObject &, const QByteArray &) {
               say(QStringLiteral("reboot requested (ignored by the simulator)"));
           });
    handle(m_base + QStringLiteral("/power/shutdown/request/1"),
           [this](const QJsonObject &, const QByteArray &) {
               say(QStringLiteral("shutdown requested (ignored by the simulator)"));
           });
}

void InspectorService::announce()
{
    publish(m_base + QStringLiteral("/info"),
            QJsonObject {{QStringLiteral("service"),
                          QJsonObject {{QStringLiteral("version"), QStringLiteral("1.3.0")}}}},
            true);
    publish(m_base + QStringLiteral("/status"), QJsonObject {{QStringLiteral("service"), true}}, true);
}

void InspectorService::publishAudio()
{
    publish(m_base + QStringLiteral("/audio"),
            QJsonObject {{QStringLiteral("internal"), QJsonObject {{QStringLiteral("volume"), m_volume}}}});
}
