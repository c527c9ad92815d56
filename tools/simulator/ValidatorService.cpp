#include "ValidatorService.h"

#include <QJsonArray>
#include <QRandomGenerator>

namespace {
const QString c_rfid = QStringLiteral("vorn/rfid");
const QString c_barcode = QStringLiteral("vorn/barcode");
} // namespace

ValidatorService::ValidatorService(manager::MqttClient &mqtt, const QString &base, QObject *parent)
    : SimulatedService(mqtt, QStringLiteral("validator"), base, parent)
{
    // The service's own configuration message carries every value as a string.
    m_config = QJsonObject {{QStringLiteral("blm"),
                             QJsonObject {{QStringLiteral("obu_host"), QStringLiteral("192.0.2.10")},
                                          {QStringLiteral("obu_port"), QStringLiteral("1883")},
                                          {QStringLiteral("obu_username"), QStringLiteral("validator")},
                                          {QStringLiteral("obu_password"), QString()}}},
                            {QStringLiteral("validator"),
                             QJsonObject {{QStringLiteral("passbackTime"), QStringLiteral("60")},
                                          {QStringLiteral("qr_passback"), QStringLiteral("false")}}}};

    handle(c_rfid + QStringLiteral("/enable"), [this](const QJsonObject &, const QByteArray &) {
        say(QStringLiteral("card reader enabled"));
        m_rfidState = 2;
        publishStatus();
    });
    handle(c_rfid + QStringLiteral("/disable"), [this](const QJsonObject &, const QByteArray &) {
        say(QStringLiteral("card reader disabled"));
        m_rfidState = 1;
        publishStatus();
    });
    handle(c_barcode + QStringLiteral("/enable"), [this](const QJsonObject &, const QByteArray &) {
        say(QStringLiteral("barcode reader enabled"));
        m_barcodeEnabled = true;
        publishStatus();
    });
    handle(c_barcode + QStringLiteral("/disable"), [this](const QJsonObject &, const QByteArray &) {
        say(QStringLiteral("barcode reader disabled"));
        m_barcodeEnabled = false;
        publishStatus();
    });
    handle(m_base + QStringLiteral("/config/get"),
           [this](const QJsonObject &, const QByteArray &) { publishConfig(); });
    handle(m_base + QStringLiteral("/config/set"), [this](const QJsonObject &object, const QByteArray &) {
        // Requests carry numbers and booleans; the service answers in its own string form.
        const QJsonObject blm = object.value(QStringLiteral("blm")).toObject();
        const QJsonObject validator = object.value(QStringLiteral("validator")).toObject();
        const int port = blm.value(QStringLiteral("obu_port")).toInt(-1);
        m_config = QJsonObject {
            {QStringLiteral("blm"),
             QJsonObject {
                 {QStringLiteral("obu_host"), blm.value(QStringLiteral("obu_host")).toString()},
                 {QStringLiteral("obu_port"), port > 0 ? QString::number(port) : QString()},
                 {QStringLiteral("obu_username"), blm.value(QStringLiteral("obu_username")).toString()},
                 {QStringLiteral("obu_password"), blm.value(QStringLiteral("obu_password")).toString()}}},
            {QStringLiteral("validator"),
             QJsonObject {{QStringLiteral("passbackTime"),
                           QString::number(validator.value(QStringLiteral("passbackTime")).toInt())},
                          {QStringLiteral("qr_passback"),
                           validator.value(QStringLiteral("qr_passback")).toBool()
                               ? QStringLiteral("true")
                               : QStringLiteral("false")}}}};
        say(QStringLiteral("configuration saved"));
        publishConfig();
    });
}

void ValidatorService::announce()
{
    const QJsonObject info {
        {QStringLiteral("device"),
         QJsonObject {{QStringLiteral("barcode"),
                       QJsonObject {{QStringLiteral("firmware"), QStringLiteral("3.1.7")},
                                    {QStringLiteral("manufacturer"), QStringLiteral("Brightline Optics")},
                                    {QStringLiteral("model"), QStringLiteral("QR-200")}}},
                      {QStringLiteral("rfid"),
                       QJsonObject {{QStringLiteral("firmware"), QStringLiteral("1.9.2")},
                                    {QStringLiteral("manufacturer"), QStringLiteral("Nordwave")},
                                    {QStringLiteral("model"), QStringLiteral("CR-40")},
                                    {QStringLiteral("uid"), QStringLiteral("04A1B2C3D4")}}}}},
        {QStringLiteral("service"), QJsonObject {{QStringLiteral("version"), QStringLiteral("2.4.1")}}}};
    // The UI never asks for info or status: a late subscriber finds them retained.
    publish(m_base + QStringLiteral("/info"), info, true);
    publishStatus();
    publishConfig();
}

void ValidatorService::setMode(Mode mode)
{
    m_mode = mode;
    publishStatus();
}

QJsonObject ValidatorService::readers() const
{
    const QJsonObject sam {{QStringLiteral("slot"), 1},
                           {QStringLiteral("enabled"), true},
                           {QStringLiteral("unlocked"), true},
                           {QStringLiteral("atr"), QStringLiteral("3B DF 18 FF 81 91 FE 1F C3 80 73")},
                           {QStringLiteral("batch"), QStringLiteral("B-2291")},
                           {QStringLiteral("mode"), QStringLiteral("AV2")},
                           {QStringLiteral("name"), QStringLiteral("SAM AV2")},
                           {QStringLiteral("production"), QStringLiteral("2021-04-12")},
                           {QStringLiteral("uid"), QStringLiteral("04112233")},
                           {QStringLiteral("vendor"), QStringLiteral("Keymint")},
                           {QStringLiteral("version"), QStringLiteral("2.6")}};
    const int state = m_mode == Mode::RfidUpdating ? 4 : m_rfidState;
    return QJsonObject {{QStringLiteral("rfid"),
                         QJsonObject {{QStringLiteral("active"), true},
                                      {QStringLiteral("error"), QString()},
                                      {QStringLiteral("state"), state},
                                      {QStringLiteral("slots"), QJsonArray {true, false}},
                                      {QStringLiteral("sams"), QJsonArray {sam}}}},
                        {QStringLiteral("barcode"),
                         QJsonObject {{QStringLiteral("active"), m_mode != Mode::Degraded},
                                      {QStringLiteral("enabled"), m_barcodeEnabled}}}};
}

void ValidatorService::publishStatus()
{
    if (m_mode == Mode::Offline) {
        publish(m_base + QStringLiteral("/status"), QJsonObject {{QStringLiteral("service"), false}}, true);
        return;
    }
    const QJsonObject state {{QStringLiteral("init"), m_mode == Mode::Init},
                             {QStringLiteral("hasRfid"), m_mode != Mode::RfidUpdating},
                             {QStringLiteral("hasNtp"), m_mode != Mode::NoNtp},
                             {QStringLiteral("hasRoute"), m_mode != Mode::OutOfService},
                             {QStringLiteral("hasQr"), m_mode != Mode::Degraded},
                             {QStringLiteral("hasObu"), m_mode != Mode::Degraded}};
    const QJsonObject status {
        {QStringLiteral("service"), true},
        {QStringLiteral("device"), readers()},
        {QStringLiteral("obu"),
         QJsonObject {
             {QStringLiteral("vehicleUuid"), QStringLiteral("8c1f6a2e-31b0-4d57-9a55-0c7e2b6d4f10")}}},
        {QStringLiteral("route"),
         QJsonObject {{QStringLiteral("axisName"), QStringLiteral("X95 Airport - Syntagma")}}},
        {QStringLiteral("state"), state}};
    publish(m_base + QStringLiteral("/status"), status, true);
}

void ValidatorService::publishConfig()
{
    // The UI asks for the configuration only when its page is left; retained,
    // the page has it from the start instead of an empty on-board unit URL.
    publish(m_base + QStringLiteral("/config"), m_config, true);
}

void ValidatorService::cardValidated(const QJsonObject &transaction)
{
    if (!rfidEnabled()) {
        say(QStringLiteral("card ignored: the reader is disabled"));
        return;
    }
    const QString uid = QString::number(QRandomGenerator::global()->generate(), 16).toUpper();
    publish(c_rfid + QStringLiteral("/card/found"),
            QJsonObject {{QStringLiteral("uid"), uid}, {QStringLiteral("type"), 256}});
    publish(m_base + QStringLiteral("/rfid/scanned"),
            QJsonObject {{QStringLiteral("transaction"), transaction}});
    publishRaw(c_rfid + QStringLiteral("/card/removed"), QByteArray());
}

void ValidatorService::barcodeValidated(const QJsonObject &transaction)
{
    if (!m_barcodeEnabled) {
        say(QStringLiteral("barcode ignored: the reader is disabled"));
        return;
    }
    publish(m_base + QStringLiteral("/barcode/scanned"),
            QJsonObject {{QStringLiteral("transaction"), transaction}});
}

void ValidatorService::retry()
{
    publish(m_base + QStringLiteral("/rfid/retry"), QJsonObject());
}

void ValidatorService::maintenanceBarcode(const QJsonObject &data)
{
    publish(m_base + QStringLiteral("/barcode/maintenance/scanned"), data);
}
