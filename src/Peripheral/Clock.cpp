#include "Clock.h"

#include "Common/Logger.h"
#include "Common/MqttClient.h"

#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QtDebug>

namespace manager {

namespace {

// Looked up on PATH and run directly, never through a shell: the zone name
// written by the screens goes to it as one argument.
const QString c_program = QStringLiteral("timedatectl");

MessageFrame::Options frameOptions()
{
    MessageFrame::Options options;
    options.prefix = QString();
    options.emptyPayload = MessageFrame::EmptyPayload::ParseError;
    options.rawPayloadInError = true;
    return options;
}

} // namespace

Clock::Clock(MqttClient &mqtt, const QString &base, QObject *parent)
    : QObject(parent)
    , m_mqtt(mqtt)
    , m_base(base + QStringLiteral("/clock/ntp"))
    , m_timezones(runCommand({QStringLiteral("--no-pager"), QStringLiteral("list-timezones")})
                      .split(QLatin1Char('\n'), Qt::KeepEmptyParts))
    , m_frame(m_base, frameOptions())
{
    using namespace std::placeholders;
    m_frame.route(QStringLiteral("/ntp/status"), std::bind(&Clock::onStatusReceived, this, _1, _2),
                  MessageFrame::Match::Substring);
    m_frame.route(QStringLiteral("/ntp/config"), std::bind(&Clock::onConfigReceived, this, _1, _2),
                  MessageFrame::Match::Substring);

    connect(&m_mqtt, &MqttClient::connected, this, &Clock::refresh);
    connect(&m_mqtt, &MqttClient::received, this, [this](const QByteArray &data, const QByteArray &topic) {
        onMqttReceived(data, QString::fromUtf8(topic));
    });

    m_mqtt.subscribe(m_base + QStringLiteral("/status"), 0);
    m_mqtt.subscribe(m_base + QStringLiteral("/config"), 0);
}

QString Clock::runCommand(const QStringList &arguments, QString *failure)
{
    QProcess process;
    process.setProgram(c_program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    bool timedOut = false;
    if (!process.waitForFinished(c_commandTimeoutMs) && process.state() != QProcess::NotRunning) {
        timedOut = true;
        process.kill();
        process.waitForFinished(c_commandTimeoutMs);
    }
    if (failure) {
        failure->clear();
        if (timedOut)
            *failure = QStringLiteral("no answer within %1 msec").arg(c_commandTimeoutMs);
        else if (process.error() == QProcess::FailedToStart)
            *failure = QStringLiteral("could not start ") + c_program;
        else if (process.exitStatus() != QProcess::NormalExit)
            *failure = QStringLiteral("crashed");
        else if (process.exitCode() != 0) {
            const QByteArray error = process.readAllStandardError().trimmed();
            *failure = QStringLiteral("exit code %1").arg(process.exitCode());
            if (!error.isEmpty())
                *failure += QStringLiteral(" (") + Logger::payload(error) + QLatin1Char(')');
        }
    }
    QByteArray output = process.readAllStandardOutput();
    const int nul = output.indexOf('\0');
    if (nul >= 0)
        output.truncate(nul);
    return QString::fromUtf8(output);
}

QString Clock::timezone() const
{
    static const QRegularExpression zoneLine(QStringLiteral("Time zone:\\s(.+)\\s\\("));
    const QRegularExpressionMatch match = zoneLine.match(runCommand({QStringLiteral("status")}));
    return match.hasMatch() ? match.captured(1) : QString();
}

void Clock::setTimezone(const QString &value)
{
    // Only a zone the system listed reaches the command: not the empty last
    // row of the list, nor a text it would take for an option.
    if (value.isEmpty() || value.startsWith(QLatin1Char('-')) || !m_timezones.contains(value)) {
        qWarning().noquote().nospace() << "WARN: Refusing unknown time zone : " << Logger::payload(value);
        // A view that offered the value reads the zone in effect again.
        emit timezoneChanged();
        return;
    }
    if (timezone() == value)
        return;
    QString failure;
    runCommand({QStringLiteral("set-timezone"), value}, &failure);
    if (!failure.isEmpty())
        qWarning().noquote().nospace() << "WARN: Setting time zone " << value << " failed : " << failure;
    emit timezoneChanged();
}

void Clock::setNtpServer(const QString &value)
{
    if (value == m_ntpServer)
        return;
    qInfo().noquote().nospace() << "Setting NTP server : " << value;
    publishConfig(m_ntpEnabled, value);
}

void Clock::setNtpEnabled(bool value)
{
    if (value == m_ntpEnabled)
        return;
    qInfo().noquote().nospace() << "Setting NTP : " << (value ? "enabled" : "disabled");
    publishConfig(value, m_ntpServer);
}

void Clock::ntpSync()
{
    qInfo().noquote().nospace() << "Requesting NTP sync";
    m_ntpSynced = false;
    emit ntpSyncedChanged();
    publish(QByteArray(), QStringLiteral("/sync"));
}

void Clock::refresh()
{
    qInfo().noquote().nospace() << "Refreshing Clock status and config";
    publish(QByteArray(), QStringLiteral("/status/get"));
    publish(QByteArray(), QStringLiteral("/config/get"));
}

void Clock::onMqttReceived(const QByteArray &data, const QString &topic)
{
    m_frame.dispatch(data, topic);
}

void Clock::publish(const QByteArray &data, const QString &suffix)
{
    m_mqtt.publish(data, m_base + suffix, 0, false);
}

void Clock::publishConfig(bool enabled, const QString &server)
{
    const QJsonObject request {{QStringLiteral("enabled"), enabled}, {QStringLiteral("server"), server}};
    publish(QJsonDocument(request).toJson(QJsonDocument::Indented), QStringLiteral("/config/set"));
}

void Clock::onStatusReceived(const QJsonObject &object, const QString &)
{
    const bool enabled = object.value(QStringLiteral("enabled")).toBool();
    if (enabled != m_ntpEnabled) {
        m_ntpEnabled = enabled;
        emit ntpEnabledChanged();
    }
    const bool synced = object.value(QStringLiteral("synced")).toBool();
    if (synced != m_ntpSynced) {
        m_ntpSynced = synced;
        emit ntpSyncedChanged();
    }
}

void Clock::onConfigReceived(const QJsonObject &object, const QString &)
{
    const bool enabled = object.value(QStringLiteral("enabled")).toBool();
    if (enabled != m_ntpEnabled) {
        m_ntpEnabled = enabled;
        emit ntpEnabledChanged();
    }
    const QString server = object.value(QStringLiteral("server")).toString();
    if (server != m_ntpServer) {
        m_ntpServer = server;
        emit ntpServerChanged();
    }
}

} // namespace manager
