#include "Board.h"

#include "Common/Logger.h"
#include "Common/MqttClient.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QtDebug>

namespace manager {

namespace {

const char *const c_prefix = "[Board] ";

QJsonObject ledStep(int r, int g, int b, int duration)
{
    return QJsonObject {
        {QStringLiteral("color"),
         QJsonObject {{QStringLiteral("r"), r}, {QStringLiteral("g"), g}, {QStringLiteral("b"), b}}},
        {QStringLiteral("duration"), duration}};
}

QJsonObject ledPattern(int repeat, const QJsonArray &steps)
{
    return QJsonObject {{QStringLiteral("repeat"), repeat}, {QStringLiteral("steps"), steps}};
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

MessageFrame::Options frameOptions()
{
    MessageFrame::Options options;
    options.prefix = QString::fromLatin1(c_prefix);
    options.emptyPayload = MessageFrame::EmptyPayload::Braces;
    return options;
}

} // namespace

Board::Board(MqttClient &mqtt, const QString &base, QObject *parent)
    : QObject(parent), m_mqtt(mqtt), m_base(base), m_frame(base, frameOptions())
{
    using namespace std::placeholders;
    m_frame.route(m_base + QStringLiteral("/info"), std::bind(&Board::onInfoReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/status"), std::bind(&Board::onStatusReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/config"), std::bind(&Board::onConfigReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/display"), std::bind(&Board::onDisplayReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/power"), std::bind(&Board::onPowerReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/event"), std::bind(&Board::onEventReceived, this, _1, _2));
    m_frame.route(m_base + QStringLiteral("/audio"), std::bind(&Board::onAudioReceived, this, _1, _2));

    connect(&m_mqtt, &MqttClient::received, this, [this](const QByteArray &data, const QByteArray &topic) {
        onMqttReceived(data, QString::fromUtf8(topic));
    });
    connect(&m_mqtt, &MqttClient::connected, this, &Board::refresh);
    connect(&m_timer, &QTimer::timeout, this, &Board::refresh);

    subscribe();
}

void Board::subscribe()
{
    qInfo().noquote().nospace() << c_prefix << "Subscribing to topics";
    for (const char *suffix : {"/info", "/status", "/config", "/display", "/power", "/audio", "/event"})
        m_mqtt.subscribe(m_base + QLatin1String(suffix), 0);
}

QString Board::poleId() const
{
    return m_device.value(QStringLiteral("poleId")).toString();
}

double Board::temperature() const
{
    return m_device.value(QStringLiteral("temperature")).toDouble();
}

double Board::voltage() const
{
    return m_device.value(QStringLiteral("voltage")).toDouble();
}

int Board::uptime() const
{
    return m_device.value(QStringLiteral("uptime")).toInt();
}

bool Board::rtcFailed() const
{
    return m_device.value(QStringLiteral("rtcFailed")).toBool();
}

int Board::displayBrightness() const
{
    return m_display.value(QStringLiteral("brightness")).toInt();
}

QString Board::displayBrightnessMode() const
{
    return m_display.value(QStringLiteral("mode")).toString();
}

int Board::ambientLightSensor() const
{
    return m_display.value(QStringLiteral("sensor")).toInt();
}

bool Board::audioEnabled() const
{
    return !m_audio.value(QStringLiteral("mute")).toBool();
}

QVariantList Board::peripherals() const
{
    if (m_peripheralNames.isEmpty()) {
        m_peripheralNames = {
            {QStringLiteral("display"), tr("Display")},    {QStringLiteral("ftdi"), tr("FTDI")},
            {QStringLiteral("mPCIe1"), tr("mPCIe #1")},    {QStringLiteral("mPCIe2"), tr("mPCIe #2")},
            {QStringLiteral("qrReader"), tr("QR Reader")}, {QStringLiteral("rfidReader"), tr("RFID Reader")},
            {QStringLiteral("touch"), tr("Touch")},        {QStringLiteral("usbHost1"), tr("USB Host")},
            {QStringLiteral("usbHub"), tr("USB Hub")},
        };
    }

    QVariantList list;
    // QJsonObject keeps its members sorted by name.
    for (auto it = m_power.constBegin(); it != m_power.constEnd(); ++it) {
        list.append(QVariantMap {{QStringLiteral("item"), it.key()},
                                 {QStringLiteral("descr"), m_peripheralNames.value(it.key())},
                                 {QStringLiteral("value"), QJsonValue::fromVariant(it.value()).toBool()}});
    }
    return list;
}

void Board::setPeripherals(const QVariantList &list)
{
    qWarning().noquote().nospace() << c_prefix << "--- SET PERIPHERALS : " << list;
}

void Board::setDelayShutdownFor(int sec)
{
    if (sec == m_delayShutdownFor)
        return;
    qInfo().noquote().nospace() << c_prefix << "Setting board shutdown delay : " << sec << " sec(s)";
    publishJson(
        QJsonObject {{QStringLiteral("device"), QJsonObject {{QStringLiteral("delayShutdownFor"), sec}}}},
        QStringLiteral("/config/set"));
}

void Board::refresh()
{
    qDebug().noquote().nospace() << c_prefix << "Refreshing data";
    const QByteArray empty = QByteArrayLiteral("{}");
    publish(empty, QStringLiteral("/status/get"));
    publish(empty, QStringLiteral("/display/get"));
    publish(empty, QStringLiteral("/power/get"));
    publish(empty, QStringLiteral("/audio/get"));
}

void Board::monitor(int msec)
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

void Board::setPeripheralPower(const QString &peripheral, bool value)
{
    qInfo().noquote().nospace() << c_prefix << "Setting peripheral power: " << peripheral << " ("
                                << boolText(value) << ")";
    publishJson(QJsonObject {{peripheral, value}}, QStringLiteral("/power/set"));
}

void Board::setLedValid()
{
    qInfo().noquote().nospace() << c_prefix << "Setting LEDs to : VALID";
    publishJson(ledPattern(3, {ledStep(0, 255, 0, 100), ledStep(0, 0, 0, 50)}),
                QStringLiteral("/led/play/request/1"));
}

void Board::setLedInvalid()
{
    qInfo().noquote().nospace() << c_prefix << "Setting LEDs to : INVALID";
    publishJson(ledPattern(3, {ledStep(255, 0, 0, 100), ledStep(0, 0, 0, 50)}),
                QStringLiteral("/led/play/request/1"));
}

void Board::setLedTestPattern()
{
    qInfo().noquote().nospace() << c_prefix << "Setting LEDs to : TEST";
    publishJson(ledPattern(30,
                           {ledStep(255, 0, 0, 1000), ledStep(0, 0, 0, 200), ledStep(0, 255, 0, 1000),
                            ledStep(0, 0, 0, 200)}),
                QStringLiteral("/led/play/request/1"));
}

void Board::setLedOff()
{
    publish(QByteArray(), QStringLiteral("/led/off/request/1"));
}

void Board::setDisplayBrightness(int value)
{
    qInfo().noquote().nospace() << c_prefix << "Setting display brightness : " << value;
    publishJson(QJsonObject {{QStringLiteral("brightness"), value}}, QStringLiteral("/display/set"));
}

void Board::setDisplayBrightnessMode(const QString &value)
{
    qInfo().noquote().nospace() << c_prefix << "Setting display brightness mode : " << value;
    publishJson(QJsonObject {{QStringLiteral("mode"), value}}, QStringLiteral("/display/set"));
}

void Board::setAudioEnabled(bool value)
{
    qInfo().noquote().nospace() << c_prefix << "Setting audio enabled : " << boolText(value);
    publishJson(QJsonObject {{QStringLiteral("mute"), !value}}, QStringLiteral("/audio/set"));
}

bool Board::peripheralPower(const QString &peripheral) const
{
    return QJsonValue::fromVariant(m_power.value(peripheral)).toBool();
}

void Board::playBuzzer(int onMsec, int offMsec, int repeat)
{
    qInfo().noquote().nospace() << c_prefix
                                << QStringLiteral("Playing buzzer : on=%1 msec, off=%2 msec, repeat=%3")
                                       .arg(onMsec)
                                       .arg(offMsec)
                                       .arg(repeat);
    publishJson(QJsonObject {{QStringLiteral("onMsec"), onMsec},
                             {QStringLiteral("offMsec"), offMsec},
                             {QStringLiteral("repeat"), repeat}},
                QStringLiteral("/buzzer/play/request/1"));
}

void Board::onMqttReceived(const QByteArray &data, const QString &topic)
{
    m_frame.dispatch(data, topic);
}

void Board::publish(const QByteArray &data, const QString &suffix)
{
    m_mqtt.publish(data, m_base + suffix, 0, false);
}

void Board::publishJson(const QJsonObject &object, const QString &suffix)
{
    publish(QJsonDocument(object).toJson(QJsonDocument::Indented), suffix);
}

void Board::setStatus(const QString &status)
{
    if (status == m_status)
        return;
    qInfo().noquote().nospace() << c_prefix << "Status changed : " << status;
    m_status = status;
    emit statusChanged();
}

void Board::setIgnition(bool ignition)
{
    if (ignition == m_ignition)
        return;
    qDebug().noquote().nospace() << c_prefix << "Ignition changed : " << boolText(ignition);
    m_ignition = ignition;
    emit ignitionChanged();
}

void Board::onInfoReceived(const QJsonObject &object, const QString &topic)
{
    qInfo().noquote().nospace() << c_prefix << "Processing info topic " << topic;
    const QJsonObject device = object.value(QStringLiteral("device")).toObject();
    const QJsonObject service = object.value(QStringLiteral("service")).toObject();
    m_info.insert(QStringLiteral("firmware"), device.value(QStringLiteral("firmwareVersion")).toString());
    m_info.insert(QStringLiteral("hardwareId"), device.value(QStringLiteral("hardwareId")).toString());
    m_info.insert(QStringLiteral("hardware"), device.value(QStringLiteral("hardwareVersion")).toString());
    m_info.insert(QStringLiteral("version"), service.value(QStringLiteral("version")).toString());
    emit infoChanged();
}

void Board::onStatusReceived(const QJsonObject &object, const QString &topic)
{
    qDebug().noquote().nospace() << c_prefix << "Processing status topic " << topic;
    if (!object.value(QStringLiteral("service")).toBool()) {
        setStatus(QStringLiteral("offline"));
        return;
    }
    const QJsonObject device = object.value(QStringLiteral("device")).toObject();
    if (!device.value(QStringLiteral("active")).toBool()) {
        setStatus(QStringLiteral("error"));
        return;
    }
    setStatus(QStringLiteral("online"));
    setIgnition(device.value(QStringLiteral("ignition")).toBool());

    const QString poleId = device.value(QStringLiteral("poleId")).toString();
    if (poleId != this->poleId()) {
        qDebug().noquote().nospace() << c_prefix << "Pole Id changed : " << poleId;
        m_device.insert(QStringLiteral("poleId"), poleId);
        emit poleIdChanged();
    }
    const double temperature = device.value(QStringLiteral("temperature")).toDouble();
    if (temperature != this->temperature()) {
        qDebug().noquote().nospace() << c_prefix << "Temperature changed : " << temperature;
        m_device.insert(QStringLiteral("temperature"), temperature);
        emit temperatureChanged();
    }
    const double voltage = device.value(QStringLiteral("voltage")).toDouble();
    if (voltage != this->voltage()) {
        qDebug().noquote().nospace() << c_prefix << "Voltage changed : " << voltage;
        m_device.insert(QStringLiteral("voltage"), voltage);
        emit voltageChanged();
    }
    const int uptime = MessageFrame::toInt(device.value(QStringLiteral("uptime")));
    if (uptime != this->uptime()) {
        qDebug().noquote().nospace() << c_prefix << "Uptime changed : " << uptime;
        m_device.insert(QStringLiteral("uptime"), uptime);
        emit uptimeChanged();
    }
    const bool rtcFailed = device.value(QStringLiteral("hardwareStatus"))
                               .toObject()
                               .value(QStringLiteral("rtcFailed"))
                               .toBool();
    if (rtcFailed != this->rtcFailed()) {
        qDebug().noquote().nospace() << c_prefix << "RTC Status changed : "
                                     << (rtcFailed ? QStringLiteral("FAIL") : QStringLiteral("OK"));
        m_device.insert(QStringLiteral("rtcFailed"), rtcFailed);
        emit rtcFailedChanged();
    }
}

void Board::onConfigReceived(const QJsonObject &object, const QString &topic)
{
    qInfo().noquote().nospace() << c_prefix << "Processing config topic " << topic;
    const int delay = MessageFrame::toInt(
        object.value(QStringLiteral("device")).toObject().value(QStringLiteral("delayShutdownFor")));
    if (delay == m_delayShutdownFor)
        return;
    qInfo().noquote().nospace() << c_prefix << "Board shutdown delay changed : " << delay << " sec(s)";
    m_delayShutdownFor = delay;
    emit delayShutdownForChanged();
}

void Board::onDisplayReceived(const QJsonObject &object, const QString &)
{
    const int brightness = MessageFrame::toInt(object.value(QStringLiteral("brightness")));
    if (brightness != displayBrightness()) {
        qDebug().noquote().nospace() << c_prefix << "Display brightness changed : " << brightness;
        m_display.insert(QStringLiteral("brightness"), brightness);
        emit displayBrightnessChanged();
    }
    const int sensor = MessageFrame::toInt(object.value(QStringLiteral("sensor")));
    if (sensor != ambientLightSensor()) {
        qDebug().noquote().nospace() << c_prefix << "Display sensor changed : " << sensor;
        m_display.insert(QStringLiteral("sensor"), sensor);
        emit ambientLightSensorChanged();
    }
    const QString mode = object.value(QStringLiteral("mode")).toString();
    if (mode != displayBrightnessMode()) {
        qDebug().noquote().nospace() << c_prefix << "Display brightness mode changed : " << mode;
        m_display.insert(QStringLiteral("mode"), mode);
        emit displayBrightnessModeChanged();
    }
}

void Board::onPowerReceived(const QJsonObject &object, const QString &)
{
    bool changed = false;
    // QJsonObject iterates its members in ascending order of names.
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QJsonValue value = it.value();
        if (value.isNull())
            continue;
        const auto stored = m_power.constFind(it.key());
        if (stored != m_power.constEnd() && QJsonValue::fromVariant(stored.value()) == value)
            continue;
        const bool on = value.toBool();
        qInfo().noquote().nospace() << c_prefix << "Peripheral power changed '" << it.key()
                                    << "' : " << boolText(on);
        m_power.insert(it.key(), value.toVariant());
        changed = true;
        emit peripheralPowerChanged(it.key(), on);
    }
    if (changed)
        emit peripheralsChanged();
}

void Board::onEventReceived(const QJsonObject &object, const QString &)
{
    const QString name = object.value(QStringLiteral("name")).toString();
    const QJsonValue data = object.value(QStringLiteral("data"));
    QString dataText;
    QDebug(&dataText).noquote().nospace() << data.toVariant();
    qInfo().noquote().nospace() << c_prefix << "Event received : " << Logger::payload(name) << " ["
                                << Logger::payload(dataText) << "]";
    if (name != QLatin1String("IgnitionChanged"))
        return;
    // A board reporting a boolean must not keep the device awake on a parked
    // vehicle, so false counts as off beside the numeric and textual zero.
    const bool off = (data.isBool() && !data.toBool()) || data.toVariant().toString() == QLatin1String("0");
    m_ignition = !off;
    emit ignitionChanged();
}

void Board::onAudioReceived(const QJsonObject &object, const QString &)
{
    const bool mute = object.value(QStringLiteral("mute")).toBool();
    if (mute == m_audio.value(QStringLiteral("mute")).toBool())
        return;
    m_audio.insert(QStringLiteral("mute"), mute);
    emit audioEnabledChanged();
}

} // namespace manager
