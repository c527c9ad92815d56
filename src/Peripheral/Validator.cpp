#include "Validator.h"

#include "Common/MqttClient.h"

#include <QHash>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QStringList>

namespace manager {

namespace {

// The reader topics are shared by every service on the device, so they are
// absolute, not under the validator's base topic.
const QString c_cardRemovedTopic = QStringLiteral("vorn/rfid/card/removed");
const QString c_cardFoundTopic = QStringLiteral("vorn/rfid/card/found");
const QString c_rfidEnableTopic = QStringLiteral("vorn/rfid/enable");
const QString c_rfidDisableTopic = QStringLiteral("vorn/rfid/disable");
const QString c_barcodeEnableTopic = QStringLiteral("vorn/barcode/enable");
const QString c_barcodeDisableTopic = QStringLiteral("vorn/barcode/disable");

MessageFrame::Options frameOptions()
{
    MessageFrame::Options options;
    options.prefix = QStringLiteral("[Validator] ");
    options.baseFilter = false; // the absolute reader topics lie outside the base
    options.emptyPayload = MessageFrame::EmptyPayload::EmptyObject;
    return options;
}

QJsonObject member(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toObject();
}

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString();
}

bool flag(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toBool();
}

} // namespace

Validator::Validator(MqttClient &mqtt, const QString &base, QObject *parent)
    : QObject(parent), m_mqtt(mqtt), m_base(base), m_frame(base, frameOptions())
{
    connect(&m_mqtt, &MqttClient::received, this, [this](const QByteArray &data, const QByteArray &from) {
        onMqttReceived(data, QString::fromUtf8(from));
    });
    connect(&m_mqtt, &MqttClient::disconnected, this, &Validator::onMqttDisconnected);

    // A card removal must reach the screens even when its payload is unreadable.
    m_frame.routeRaw(c_cardRemovedTopic,
                     [this](const QByteArray &, const QString &) { Q_EMIT cardRemoved(); });
    m_frame.route(m_base + QStringLiteral("/info"),
                  [this](const QJsonObject &o, const QString &t) { onInfoReceived(o, t); });
    m_frame.route(m_base + QStringLiteral("/status"),
                  [this](const QJsonObject &o, const QString &t) { onStatusReceived(o, t); });
    m_frame.route(m_base + QStringLiteral("/config"),
                  [this](const QJsonObject &o, const QString &t) { onConfigReceived(o, t); });
    m_frame.route(m_base + QStringLiteral("/rfid/retry"),
                  [this](const QJsonObject &, const QString &) { Q_EMIT cardRetry(); });
    m_frame.route(c_cardFoundTopic, [this](const QJsonObject &o, const QString &t) { onCardFound(o, t); });
    m_frame.route(m_base + QStringLiteral("/rfid/scanned"),
                  [this](const QJsonObject &o, const QString &t) { onCardScannedReceived(o, t); });
    m_frame.route(m_base + QStringLiteral("/barcode/scanned"),
                  [this](const QJsonObject &o, const QString &t) { onBarcodeScannedReceived(o, t); });
    m_frame.route(m_base + QStringLiteral("/barcode/maintenance/scanned"),
                  [this](const QJsonObject &o, const QString &) { Q_EMIT maintenanceBarcodeScanned(o); });

    m_mqtt.subscribe(m_base + QStringLiteral("/info"));
    m_mqtt.subscribe(m_base + QStringLiteral("/status"));
    m_mqtt.subscribe(m_base + QStringLiteral("/config"));
    m_mqtt.subscribe(m_base + QStringLiteral("/rfid/retry"));
    // Card removal is taken from the absolute reader topic below; this one
    // stays subscribed for the service's sake but has no reaction.
    m_mqtt.subscribe(m_base + QStringLiteral("/rfid/removed"));
    m_mqtt.subscribe(m_base + QStringLiteral("/rfid/scanned"));
    m_mqtt.subscribe(m_base + QStringLiteral("/barcode/scanned"));
    m_mqtt.subscribe(m_base + QStringLiteral("/barcode/maintenance/scanned"));
    m_mqtt.subscribe(c_cardRemovedTopic);
    m_mqtt.subscribe(c_cardFoundTopic);
}

QString Validator::mapCardType(int type)
{
    static const QHash<int, QString> c_cardTypes {
        {0, QStringLiteral("Unknown")},
        {1, QStringLiteral("ISO14443-4A")},
        {2, QStringLiteral("ISO14443-4B")},
        {4, QStringLiteral("MIFARE Classic 1K")},
        {8, QStringLiteral("MIFARE Classic 4K")},
        {16, QStringLiteral("MIFARE Plus 2K")},
        {32, QStringLiteral("MIFARE Plus 4K")},
        {64, QStringLiteral("MIFARE Ultralight")},
        {128, QStringLiteral("MIFARE Mini")},
        {256, QStringLiteral("MIFARE DESFire")},
        {512, QStringLiteral("EMV")},
        {32768, QStringLiteral("Other")},
    };
    return c_cardTypes.value(type, QStringLiteral("Unknown"));
}

void Validator::enableBarcode()
{
    if (!m_barcode.enabled())
        m_mqtt.publish(QByteArray(), c_barcodeEnableTopic);
}

void Validator::disableBarcode()
{
    if (m_barcode.enabled())
        m_mqtt.publish(QByteArray(), c_barcodeDisableTopic);
}

void Validator::enableRfid()
{
    if (!m_rfid.enabled())
        m_mqtt.publish(QJsonDocument(QJsonObject {{QStringLiteral("autoread"), true}}).toJson(),
                       c_rfidEnableTopic);
}

void Validator::disableRfid()
{
    if (m_rfid.enabled())
        m_mqtt.publish(QByteArray(), c_rfidDisableTopic);
}

void Validator::saveConfig()
{
    const QUrl url = m_config.obuUrl();
    const QJsonObject blm {
        {QStringLiteral("obu_username"), url.userName(QUrl::FullyDecoded)},
        {QStringLiteral("obu_password"), url.password(QUrl::FullyDecoded)},
        {QStringLiteral("obu_host"), url.host(QUrl::FullyDecoded)},
        {QStringLiteral("obu_port"), url.port()},
    };
    const QJsonObject validator {
        {QStringLiteral("passbackTime"), m_config.passbackSecs()},
        {QStringLiteral("qr_passback"), m_config.passbackQrEnabled()},
    };
    const QJsonObject document {{QStringLiteral("blm"), blm}, {QStringLiteral("validator"), validator}};
    m_mqtt.publish(QJsonDocument(document).toJson(QJsonDocument::Indented),
                   m_base + QStringLiteral("/config/set"));
}

void Validator::refreshConfig()
{
    m_mqtt.publish(QByteArrayLiteral("{ }"), m_base + QStringLiteral("/config/get"));
}

void Validator::onMqttReceived(const QByteArray &data, const QString &topic)
{
    m_frame.dispatch(data, topic);
}

void Validator::onMqttDisconnected()
{
    setStatus(QStringLiteral("offline"));
    setReason(QStringLiteral("MQTT Disconnected"), QStringLiteral("#0001"));
}

void Validator::onInfoReceived(const QJsonObject &data, const QString &)
{
    const QJsonObject device = member(data, "device");
    m_barcode.fromJson(member(device, "barcode"));
    m_rfid.fromJson(member(device, "rfid"));
    setVersion(text(member(data, "service"), "version"));
}

void Validator::onStatusReceived(const QJsonObject &data, const QString &)
{
    const QJsonObject device = member(data, "device");
    // The readers come first: the decision below looks at the reader state.
    m_rfid.fromJson(member(device, "rfid"));
    m_barcode.fromJson(member(device, "barcode"));

    if (!flag(data, "service")) {
        setStatus(QStringLiteral("offline"));
        setReason(QStringLiteral("BLM service down"), QStringLiteral("#0002"));
        return;
    }

    setVehicle(text(member(data, "obu"), "vehicleUuid"));
    setRoute(text(member(data, "route"), "axisName"));

    const QJsonObject state = member(data, "state");
    if (flag(state, "init")) {
        setStatus(QStringLiteral("init"));
        setReason(QString(), QString());
    } else if (!flag(state, "hasRfid")) {
        setStatus(QStringLiteral("offline"));
        if (m_rfid.state() == QLatin1String("Updating"))
            setReason(QStringLiteral("RFID firmware is updating"), QStringLiteral("#0003"));
        else
            setReason(QStringLiteral("RFID is not operational"), QStringLiteral("#0004"));
    } else if (state.contains(QLatin1String("hasNtp")) && !flag(state, "hasNtp")) {
        // An older service does not report the time source at all.
        setStatus(QStringLiteral("offline"));
        setReason(QStringLiteral("NTP not synchronized"), QStringLiteral("#0007"));
    } else if (!flag(state, "hasRoute")) {
        setStatus(QStringLiteral("out-of-service"));
        setReason(QStringLiteral("No route"), QStringLiteral("#0006"));
    } else if (flag(state, "hasQr") && flag(state, "hasObu")) {
        setStatus(QStringLiteral("online"));
        setReason(QString(), QString());
    } else {
        QStringList missing;
        if (!flag(state, "hasObu"))
            missing << QStringLiteral("OBC lost");
        if (!flag(state, "hasQr"))
            missing << QStringLiteral("Barcode not operational");
        setStatus(QStringLiteral("degraded"));
        setReason(missing.join(QLatin1Char(',')), QStringLiteral("#0005"));
    }
}

QUrl Validator::parseUrl(const QJsonObject &blm)
{
    QUrl url;
    url.setScheme(QStringLiteral("mqtt"));
    url.setHost(text(blm, "obu_host"), QUrl::DecodedMode);
    const QString user = text(blm, "obu_username");
    if (!user.isEmpty())
        url.setUserName(user, QUrl::DecodedMode);
    const QString password = text(blm, "obu_password");
    if (!password.isEmpty())
        url.setPassword(password, QUrl::DecodedMode);
    const int port = text(blm, "obu_port").toInt(nullptr, 10);
    // A port beyond the TCP range would make the whole address invalid and
    // lose the host with it.
    if (port > 0 && port <= 65535)
        url.setPort(port);
    return url;
}

void Validator::onConfigReceived(const QJsonObject &data, const QString &)
{
    const QJsonObject blm = member(data, "blm");
    const QJsonObject validator = member(data, "validator");

    // The service sends every value as a string, the port included.
    m_config.setObuUrl(parseUrl(blm));
    m_config.setPassbackSecs(text(validator, "passbackTime").toInt(nullptr, 10));
    m_config.setPassbackQrEnabled(text(validator, "qr_passback") == QLatin1String("true"));

    qWarning().noquote().nospace() << "[Validator] Config received : ";
    // The password stays out of the log.
    qWarning().noquote().nospace() << "[Validator] OBU URL         : "
                                   << m_config.obuUrl().toString(QUrl::RemovePassword);
    qWarning().noquote().nospace() << "[Validator] Passback Time   : " << m_config.passbackSecs()
                                   << " sec(s)";
    qWarning().noquote().nospace() << "[Validator] Passback QR En  : "
                                   << (m_config.passbackQrEnabled() ? "true" : "false");
    Q_EMIT configChanged();
}

void Validator::onCardFound(const QJsonObject &data, const QString &)
{
    Q_EMIT cardDetected(text(data, "uid"), mapCardType(data.value(QLatin1String("type")).toInt()));
}

void Validator::onCardScannedReceived(const QJsonObject &data, const QString &)
{
    const Transaction transaction(member(data, "transaction"));
    Q_EMIT ticketValidated(transaction);
}

void Validator::onBarcodeScannedReceived(const QJsonObject &data, const QString &)
{
    const Transaction transaction(member(data, "transaction"));
    Q_EMIT barcodeScanned();
    Q_EMIT ticketValidated(transaction);
}

void Validator::setStatus(const QString &status)
{
    if (m_status == status)
        return;
    qWarning().noquote().nospace() << "[Validator] Validator status is : " << status;
    m_status = status;
    Q_EMIT statusChanged();
}

void Validator::setReason(const QString &reason, const QString &code)
{
    if (m_reason == reason && m_reasonCode == code)
        return;
    m_reason = reason;
    m_reasonCode = code;
    Q_EMIT reasonChanged();
}

void Validator::setVersion(const QString &version)
{
    if (m_version == version)
        return;
    m_version = version;
    Q_EMIT versionChanged();
}

void Validator::setRoute(const QString &route)
{
    if (m_route == route)
        return;
    m_route = route;
    Q_EMIT routeChanged();
}

void Validator::setVehicle(const QString &vehicle)
{
    if (m_vehicle == vehicle)
        return;
    m_vehicle = vehicle;
    Q_EMIT vehicleChanged();
}

} // namespace manager
