#include "DeviceService.h"

namespace {
const QString c_offered = QStringLiteral("1.0.22");
constexpr int c_downloadSteps = 10;
constexpr int c_installSteps = 5;
} // namespace

DeviceService::DeviceService(manager::MqttClient &mqtt, const QString &base, QObject *parent)
    : SimulatedService(mqtt, QStringLiteral("device"), base, parent)
{
    m_installTimer.setInterval(700);
    connect(&m_installTimer, &QTimer::timeout, this, &DeviceService::stepInstall);

    handle(m_base + QStringLiteral("/status/get"),
           [this](const QJsonObject &, const QByteArray &) { publishStatus(); });
    handle(m_base + QStringLiteral("/software/check"), [this](const QJsonObject &, const QByteArray &) {
        say(QStringLiteral("checking for updates"));
        QTimer::singleShot(1500, this, [this] {
            if (m_current != c_offered)
                m_pending = c_offered;
            publishUpdateStatus();
            publishStatus();
        });
    });
    handle(m_base + QStringLiteral("/update/software/install"),
           [this](const QJsonObject &, const QByteArray &) {
               if (m_pending.isEmpty() || m_installTimer.isActive()) {
                   say(QStringLiteral("install request ignored"));
                   return;
               }
               say(QStringLiteral("installing %1").arg(m_pending));
               m_installStep = 0;
               m_installTimer.start();
           });

    const QString ntp = m_base + QStringLiteral("/clock/ntp");
    handle(ntp + QStringLiteral("/status/get"),
           [this](const QJsonObject &, const QByteArray &) { publishNtpStatus(); });
    handle(ntp + QStringLiteral("/config/get"),
           [this](const QJsonObject &, const QByteArray &) { publishNtpConfig(); });
    handle(ntp + QStringLiteral("/config/set"), [this](const QJsonObject &o, const QByteArray &) {
        if (o.value(QStringLiteral("enabled")).isBool())
            m_ntpEnabled = o.value(QStringLiteral("enabled")).toBool();
        if (o.value(QStringLiteral("server")).isString())
            m_ntpServer = o.value(QStringLiteral("server")).toString();
        m_ntpSynced = m_ntpEnabled && !m_ntpServer.isEmpty();
        say(QStringLiteral("NTP %1, server %2")
                .arg(m_ntpEnabled ? QStringLiteral("on") : QStringLiteral("off"), m_ntpServer));
        publishNtpConfig();
        publishNtpStatus();
    });
    handle(ntp + QStringLiteral("/sync"), [this](const QJsonObject &, const QByteArray &) {
        m_ntpSynced = m_ntpEnabled;
        say(QStringLiteral("NTP sync"));
        publishNtpStatus();
    });
}

void DeviceService::announce()
{
    publishStatus();
    publishNtpStatus();
    publishNtpConfig();
}

void DeviceService::publishStatus()
{
    publish(m_base + QStringLiteral("/status"),
            QJsonObject {{QStringLiteral("update"),
                          QJsonObject {{QStringLiteral("software"),
                                        QJsonObject {{QStringLiteral("current"), m_current},
                                                     {QStringLiteral("pending"), m_pending}}}}}});
}

void DeviceService::publishUpdateStatus()
{
    publish(m_base + QStringLiteral("/update/software/status"),
            QJsonObject {{QStringLiteral("current"), m_current}, {QStringLiteral("pending"), m_pending}});
}

void DeviceService::publishNtpStatus()
{
    publish(m_base + QStringLiteral("/clock/ntp/status"),
            QJsonObject {{QStringLiteral("enabled"), m_ntpEnabled}, {QStringLiteral("synced"), m_ntpSynced}});
}

void DeviceService::publishNtpConfig()
{
    publish(m_base + QStringLiteral("/clock/ntp/config"),
            QJsonObject {{QStringLiteral("enabled"), m_ntpEnabled}, {QStringLiteral("server"), m_ntpServer}});
}

void DeviceService::stepInstall()
{
    ++m_installStep;
    QString message;
    int percent = 0;
    if (m_installStep <= c_downloadSteps) {
        // A "/" in the text is how the UI tells a download from an installation.
        message = QStringLiteral("Downloading %1 MB/%2 MB").arg(m_installStep * 4).arg(c_downloadSteps * 4);
        percent = m_installStep * 100 / c_downloadSteps;
    } else if (m_installStep <= c_downloadSteps + c_installSteps) {
        const int step = m_installStep - c_downloadSteps;
        message = QStringLiteral("Installing packages (step %1 of %2)").arg(step).arg(c_installSteps);
        percent = step * 100 / c_installSteps;
    } else {
        m_installTimer.stop();
        m_current = m_pending;
        m_pending.clear();
        say(QStringLiteral("installed %1").arg(m_current));
        publishUpdateStatus();
        publishStatus();
        return;
    }
    publish(m_base + QStringLiteral("/update/software/progress"),
            QJsonObject {{QStringLiteral("message"), message},
                         {QStringLiteral("progress"), percent},
                         {QStringLiteral("version"), m_pending}});
}
