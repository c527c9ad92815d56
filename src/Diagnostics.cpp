#include "Diagnostics.h"

#include "Common/QrCodeGenerator.h"
#include "Model/SAM.h"
#include "Model/ValidatorBarcode.h"
#include "Model/ValidatorRfid.h"
#include "Peripheral/Board.h"
#include "Peripheral/Ethernet.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <limits>

namespace {
const QString c_prefix = QStringLiteral("[Diagnostics] ");
const QString c_ok = QStringLiteral("OK");
const QString c_error = QStringLiteral("ERROR");
const QString c_missing = QStringLiteral("MISSING");
const QString c_none = QStringLiteral("NONE");
const QString c_preferredPort = QStringLiteral("ttyUSB0");
const QString c_dashLine = QString(53, QLatin1Char('-'));
constexpr int c_valueWidth = 35;
constexpr int c_serialTimeoutMsec = 50;

// Stores value and fires the signal only when it differs.
template<typename Signal> void assign(Diagnostics *self, QString &member, const QString &value, Signal signal)
{
    if (member == value)
        return;
    member = value;
    emit(self->*signal)();
}
} // namespace

const QList<Diagnostics::UsbDevice> Diagnostics::m_usbDevices = {
    {QStringLiteral("USB Hub #1"), QStringLiteral("0451:2077"), QStringLiteral("1-1")},
    {QStringLiteral("mPCIE #1"), QStringLiteral("*"), QStringLiteral("1-1.2")},
    {QStringLiteral("RFID"), QStringLiteral("0ab1:0007"), QStringLiteral("1-1.3")},
    {QStringLiteral("USB Host"), QStringLiteral("*"), QStringLiteral("1-1.4")},
    {QStringLiteral("FTDI"), QStringLiteral("0403:6015"), QStringLiteral("1-1.5")},
    {QStringLiteral("Barcode"), QStringLiteral("*"), QStringLiteral("1-1.6")},
    {QStringLiteral("Touch"), QStringLiteral("222a:0001"), QStringLiteral("1-1.7")},
};

Diagnostics::Diagnostics(const QString &deviceId, manager::Board &board, manager::Network &network,
                         manager::Validator &validator, QObject *parent)
    : QObject(parent), m_deviceId(deviceId), m_board(board), m_network(network), m_validator(validator)
{
    connect(&m_timer, &QTimer::timeout, this, &Diagnostics::check);

    connect(&m_board, &manager::Board::rtcFailedChanged, this, &Diagnostics::rtcChanged);
    connect(&m_board, &manager::Board::ignitionChanged, this, &Diagnostics::ignitionChanged);
    connect(&m_board, &manager::Board::temperatureChanged, this, &Diagnostics::temperatureChanged);
    connect(&m_board, &manager::Board::voltageChanged, this, &Diagnostics::voltageChanged);
    connect(&m_board, &manager::Board::statusChanged, this, &Diagnostics::boardServiceChanged);
    connect(&m_board, &manager::Board::poleIdChanged, this, &Diagnostics::poleIdChanged);

    // The page is open while the cable is plugged in: follow the link state
    // itself, not only a replacement of the Ethernet object.
    connect(&m_network, &manager::Network::ethernetChanged, this, &Diagnostics::ethernetChanged);
    if (manager::Ethernet *ethernet = m_network.ethernet())
        connect(ethernet, &manager::Ethernet::stateChanged, this, &Diagnostics::ethernetChanged);

    ValidatorRfid *rfid = m_validator.rfid();
    connect(rfid, &ValidatorRfid::samChanged, this, &Diagnostics::samChanged);
    connect(rfid, &ValidatorRfid::activeChanged, this, &Diagnostics::samChanged);
    connect(rfid, &ValidatorRfid::activeChanged, this, &Diagnostics::rfidServiceChanged);
    connect(m_validator.barcode(), &ValidatorBarcode::activeChanged, this,
            &Diagnostics::barcodeServiceChanged);
}

QString Diagnostics::rtc() const
{
    return m_board.rtcFailed() ? c_error : c_ok;
}

QString Diagnostics::ethernet() const
{
    const manager::Ethernet *ethernet = m_network.ethernet();
    return ethernet && ethernet->state() == QLatin1String("Connected") ? c_ok : c_error;
}

QString Diagnostics::ignition() const
{
    return m_board.ignition() ? c_ok : c_error;
}

QString Diagnostics::temperature() const
{
    const double value = m_board.temperature();
    return value > 15.0 && value < 70.0 ? c_ok : c_error;
}

QString Diagnostics::voltage() const
{
    const double value = m_board.voltage();
    return value > 9.0 && value < 40.0 ? c_ok : c_error;
}

QString Diagnostics::sam() const
{
    ValidatorRfid *rfid = m_validator.rfid();
    if (!rfid->active())
        return c_error;
    const SAM *sam = rfid->sam();
    if (!sam)
        return c_missing;
    return sam->atr().isEmpty() ? c_error : c_ok;
}

QString Diagnostics::rfidService() const
{
    return m_validator.rfid()->active() ? c_ok : c_error;
}

QString Diagnostics::barcodeService() const
{
    return m_validator.barcode()->active() ? c_ok : c_error;
}

QString Diagnostics::boardService() const
{
    return m_board.status() == QLatin1String("online") ? c_ok : c_error;
}

QString Diagnostics::poleId() const
{
    const QString value = m_board.poleId();
    if (value.isEmpty())
        return c_missing;
    if (value == QString(16, QLatin1Char('0')))
        return c_error;
    return c_ok;
}

void Diagnostics::setBuzzer(const QString &value)
{
    assign(this, m_buzzer, value, &Diagnostics::buzzerChanged);
}

void Diagnostics::setLeds(const QString &value)
{
    assign(this, m_leds, value, &Diagnostics::ledsChanged);
}

void Diagnostics::setSpeaker(const QString &value)
{
    assign(this, m_speaker, value, &Diagnostics::speakerChanged);
}

void Diagnostics::setBarcodeScan(const QString &value)
{
    assign(this, m_barcodeScan, value, &Diagnostics::barcodeScanChanged);
}

void Diagnostics::setCardScan(const QString &value)
{
    assign(this, m_cardScan, value, &Diagnostics::cardScanChanged);
}

void Diagnostics::setLightSensor(const QString &value)
{
    assign(this, m_lightSensor, value, &Diagnostics::lightSensorChanged);
}

void Diagnostics::setRgbTest(const QString &value)
{
    assign(this, m_rgbTest, value, &Diagnostics::rgbTestChanged);
}

void Diagnostics::setSerialPort(const QString &value)
{
    if (m_serialPort == value)
        return;
    qWarning().noquote().nospace() << c_prefix << "------------- Serial Port changed : " << value;
    m_serialPort = value;
    emit serialPortChanged();
}

void Diagnostics::setSerialFlowCtrl(int value)
{
    if (m_serialFlowCtrl == value)
        return;
    qWarning().noquote().nospace() << c_prefix << "------------- Serial Flow ctrl changed : " << value;
    m_serialFlowCtrl = value;
    emit serialFlowCtrlChanged();
}

void Diagnostics::start(int intervalSec)
{
    qInfo().noquote().nospace()
        << c_prefix << QStringLiteral("Starting Diagnostic check (interval=%1 sec)").arg(intervalSec);
    check();
    if (intervalSec == 0)
        return;
    if (intervalSec < 0) {
        qWarning().noquote().nospace()
            << c_prefix
            << QStringLiteral("Negative check interval (%1 sec): checked once only").arg(intervalSec);
        return;
    }
    // The timer takes an int of milliseconds: a longer period would wrap
    // around into a short one and probe the hardware far too often.
    constexpr qint64 longest = std::numeric_limits<int>::max();
    qint64 msec = qint64(intervalSec) * 1000;
    if (msec > longest) {
        qWarning().noquote().nospace() << c_prefix
                                       << QStringLiteral("Check interval too long (%1 sec): using %2 msec(s)")
                                              .arg(intervalSec)
                                              .arg(longest);
        msec = longest;
    }
    m_timer.start(int(msec));
}

void Diagnostics::stop()
{
    qInfo().noquote().nospace() << c_prefix << "Stopping Diagnostic check";
    m_timer.stop();
}

void Diagnostics::check()
{
    using Signal = void (Diagnostics::*)();
    struct Target
    {
        QString *member;
        Signal signal;
    };
    // In the order of m_usbDevices.
    const Target targets[] = {
        {&m_usbHub, &Diagnostics::usbHubChanged},   {&m_mPCIe1, &Diagnostics::mPCIe1Changed},
        {&m_rfidUsb, &Diagnostics::rfidUsbChanged}, {&m_usbHost, &Diagnostics::usbHostChanged},
        {&m_ftdi, &Diagnostics::ftdiChanged},       {&m_barcodeUsb, &Diagnostics::barcodeUsbChanged},
        {&m_touch, &Diagnostics::touchChanged},
    };
    static_assert(sizeof(targets) / sizeof(targets[0]) == 7, "one result per USB table entry");
    for (int i = 0; i < m_usbDevices.size(); ++i)
        assign(this, *targets[i].member, testUsbDevice(m_usbDevices.at(i)), targets[i].signal);

    assign(this, m_sdCard, testSdCard(), &Diagnostics::sdCardChanged);
    assign(this, m_serialPortTest, testSerialPort(), &Diagnostics::serialPortTestChanged);
    refreshSerialPorts();
}

QString Diagnostics::readSysfsFile(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCritical().noquote().nospace() << c_prefix << "ERROR: Failed to open fle : " << path;
        return {};
    }
    QByteArray content = file.readAll();
    const int nul = content.indexOf('\0');
    if (nul >= 0)
        content.truncate(nul);
    return QString::fromUtf8(content).trimmed();
}

QString Diagnostics::testUsbDevice(const UsbDevice &device) const
{
    const QString directory = m_usbDevicesRoot + QLatin1Char('/') + device.path;
    if (!QFileInfo(directory).isDir())
        return c_missing;

    const QString vendor = readSysfsFile(directory + QStringLiteral("/idVendor"));
    const QString product = readSysfsFile(directory + QStringLiteral("/idProduct"));
    const QString productName = readSysfsFile(directory + QStringLiteral("/product"));
    const QString deviceId = vendor + QLatin1Char(':') + product;

    qDebug().noquote().nospace() << c_prefix << "name=" << device.name << " deviceId=" << deviceId
                                 << " expected=" << device.id << " product=" << productName;

    if (device.id == QLatin1String("any") || device.id == QLatin1String("*"))
        return c_ok;
    return deviceId.contains(device.id) ? c_ok : c_error;
}

QString Diagnostics::testSdCard() const
{
    return QFileInfo::exists(m_sdCardPath) ? c_ok : c_missing;
}

QList<Diagnostics::SerialPortEntry> Diagnostics::availablePorts() const
{
    if (m_serialPortLister)
        return m_serialPortLister();
    QList<SerialPortEntry> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append({info.portName(), info.description()});
    return ports;
}

QString Diagnostics::testSerialPort() const
{
    if (m_serialPort.isEmpty() || m_serialPort == c_none)
        return c_missing;

    // A listed port is opened by its short name, anything else (the virtual
    // port) by the path that was chosen.
    QSerialPort port;
    port.setPortName(m_serialPort);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setBaudRate(QSerialPort::Baud9600, QSerialPort::AllDirections);
    port.setParity(QSerialPort::NoParity);
    port.setFlowControl(static_cast<QSerialPort::FlowControl>(m_serialFlowCtrl));
    if (!port.open(QIODevice::ReadWrite))
        return QStringLiteral("ERROR (Could not open)");

    QString result = c_error;
    if (port.write("A", 1) != 1) {
        result = QStringLiteral("ERROR (Could not write)");
    } else if (!port.waitForBytesWritten(c_serialTimeoutMsec)) {
        result = QStringLiteral("ERROR (Write timeout)");
    } else {
        QElapsedTimer window;
        window.start();
        while (window.elapsed() < c_serialTimeoutMsec) {
            port.waitForReadyRead(int(c_serialTimeoutMsec - window.elapsed()));
            if (port.readAll().contains('A')) {
                result = c_ok;
                break;
            }
        }
    }
    port.close();
    return result;
}

void Diagnostics::refreshSerialPorts()
{
    QStringList ports {c_none};
    const QList<SerialPortEntry> available = availablePorts();
    for (const SerialPortEntry &entry : available)
        ports.append(entry.name);
    if (QFileInfo::exists(m_virtualPortPath))
        ports.append(m_virtualPortPath);

    if (ports != m_serialPorts) {
        m_serialPorts = ports;
        emit serialPortsChanged();
    }
    if (m_serialPorts.contains(c_preferredPort))
        setSerialPort(c_preferredPort);
}

QString Diagnostics::serialPortDescr(const QString &portName)
{
    const QList<SerialPortEntry> available = availablePorts();
    for (const SerialPortEntry &entry : available) {
        if (entry.name == portName)
            return entry.description;
    }
    return {};
}

QString Diagnostics::samUid() const
{
    const SAM *sam = m_validator.rfid()->sam();
    return sam ? sam->uid() : QStringLiteral("SAM not present");
}

QString Diagnostics::boardFirmware() const
{
    return m_board.info().value(QStringLiteral("firmware")).toString();
}

void Diagnostics::saveReport()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString date = now.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd_hhmm"));

    const auto line = [](const char *label, const QString &value) {
        return QString::fromLatin1(label).arg(value, c_valueWidth);
    };
    const QStringList lines {
        c_dashLine,
        QStringLiteral(" DEVICE TEST REPORT"),
        c_dashLine,
        line(" Device UID       %1", m_deviceId),
        line(" Date             %1", date),
        line(" SAM              %1", samUid()),
        line(" Barcode Firmware %1", m_validator.barcode()->firmware()),
        line(" RFID Firmware    %1", m_validator.rfid()->firmware()),
        line(" Board Firmware   %1", boardFirmware()),
        line(" App Version      %1", QCoreApplication::applicationVersion()),
        line(" Bundle Version   %1", QStringLiteral("<null>")),
        line(" Image Version    %1", QStringLiteral("<null>")),
        c_dashLine,
        line(" RTC              %1", rtc()),
        line(" Ethernet         %1", ethernet()),
        line(" USB Hub          %1", m_usbHub),
        line(" USB Host         %1", m_usbHost),
        line(" FTDI             %1", m_ftdi),
        line(" mPCIe #1         %1", m_mPCIe1),
        line(" Touch            %1", m_touch),
        line(" SD Card          %1", m_sdCard),
        line(" Ignition         %1", ignition()),
        line(" Temperature      %1", temperature()),
        line(" Voltage          %1", voltage()),
        line(" RFID             %1", m_rfidUsb),
        line(" Barcode          %1", m_barcodeUsb),
        line(" SAM              %1", sam()),
        line(" Buzzer           %1", m_buzzer),
        line(" Front LEDs       %1", m_leds),
        line(" Barcode Scan     %1", m_barcodeScan),
        line(" Card Scan        %1", m_cardScan),
        line(" RFID Manager     %1", rfidService()),
        line(" Barocde Manager  %1", barcodeService()),
        line(" Board Manager    %1", boardService()),
        line(" Light Sensor     %1", m_lightSensor),
        line(" Display RGB Test %1", m_rgbTest),
        c_dashLine,
    };
    const QString report = lines.join(QLatin1Char('\n'));
    const QString fileName = QStringLiteral("./%1_%2.txt").arg(QStringLiteral("TestReport"), stamp);

    qInfo().noquote().nospace() << c_prefix << "\n" << report;
    qInfo().noquote().nospace() << c_prefix << "Saving Diagnostics report to : " << fileName;

    // Written aside and renamed into place, so a full disk never leaves a
    // truncated report behind that was announced as saved.
    QSaveFile file(fileName);
    bool saved = file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    if (saved) {
        const QByteArray content = report.toUtf8();
        saved = file.write(content) == content.size() && file.commit();
    }
    if (!saved) {
        const QString error = file.errorString();
        qCritical().noquote().nospace() << c_prefix << "ERROR: Could not save file : " << error;
        emit saveReportFinished(false, QStringLiteral("Could not save Test Report\nERROR: ") + error);
        return;
    }
    emit saveReportFinished(true, QStringLiteral("Test report saved successfully:\n") + fileName);
}

QString Diagnostics::generateQr()
{
    const QStringList fields {
        m_deviceId,
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")),
        samUid(),
        m_validator.barcode()->firmware(),
        m_validator.rfid()->firmware(),
        boardFirmware(),
        QCoreApplication::applicationVersion(),
        QString(),
        QString(),
        rtc(),
        ethernet(),
        m_usbHub,
        m_mPCIe1,
        m_rfidUsb,
        m_barcodeUsb,
        m_ftdi,
        m_usbHost,
        m_touch,
        m_sdCard,
        m_buzzer,
        m_leds,
        ignition(),
        temperature(),
        voltage(),
        sam(),
        m_speaker,
        m_barcodeScan,
        m_cardScan,
        rfidService(),
        barcodeService(),
        boardService(),
        m_lightSensor,
        m_rgbTest,
        poleId(),
        m_serialPortTest,
    };
    const QString svg
        = QrCodeGenerator().generateSvgQr(fields.join(QLatin1Char(';')), 1, qrcodegen::QrCode::Ecc::MEDIUM);
    if (svg.isEmpty())
        return {};
    return QStringLiteral("data:image/svg,") + svg;
}
