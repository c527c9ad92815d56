#include "Common/MqttClient.h"
#include "Common/QrCodeGenerator.h"
#include "Diagnostics.h"
#include "Peripheral/Board.h"
#include "Peripheral/Network.h"
#include "Peripheral/Validator.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <limits>
#include <thread>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using manager::MqttClient;

namespace {

void deliver(MqttClient &client, const QString &topic, const QByteArray &payload)
{
    emit client.received(payload, topic.toUtf8());
}

void boardStatus(MqttClient &client, const QByteArray &device)
{
    deliver(client, QStringLiteral("vorn/board/status"),
            R"({"service": true, "device": {"active": true, )" + device + "}}");
}

// A sysfs-like tree: one directory per device with its id files.
void addUsbDevice(const QString &root, const QString &path, const QByteArray &vendor,
                  const QByteArray &product)
{
    QDir(root).mkpath(path);
    const auto write = [&](const char *name, const QByteArray &content) {
        QFile file(root + QLatin1Char('/') + path + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    write("idVendor", vendor + '\n');
    write("idProduct", product + '\n');
    write("product", "Device\n");
}

// A pseudo-terminal whose other end either echoes every byte (a loopback
// plug) or stays silent (no plug).
class PseudoTerminal
{
public:
    explicit PseudoTerminal(bool echo)
    {
        char name[128] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        m_path = QString::fromLocal8Bit(name);
        if (echo)
            m_thread = std::thread([this] { run(); });
    }
    ~PseudoTerminal()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    QString path() const { return m_path; }

private:
    void run()
    {
        while (!m_stop) {
            pollfd fd {m_master, POLLIN, 0};
            if (poll(&fd, 1, 20) <= 0)
                continue;
            char buffer[64];
            const ssize_t n = ::read(m_master, buffer, sizeof(buffer));
            if (n > 0 && ::write(m_master, buffer, size_t(n)) != n)
                return;
        }
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    std::atomic_bool m_stop {false};
    std::thread m_thread;
};

} // namespace

class tst_Diagnostics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void usbDevices();
    void unreadableSysfsFile();
    void sdCard();
    void computedValues_data();
    void computedValues();
    void serviceValuesFollowTheProxies();
    void verdictSetters();
    void serialLoopback_data();
    void serialLoopback();
    void serialPortList();
    void startAndStop();
    void startWithOutOfRangeInterval_data();
    void startWithOutOfRangeInterval();
    void reportFile();
    void reportFileUnwritable();
    void qrPayload();
    void qrTooLongYieldsNoImage();

private:
    QString usbRoot() const { return m_sysfs->path() + QStringLiteral("/usb"); }

    std::unique_ptr<QTemporaryDir> m_sysfs;
    QString m_deviceId = QStringLiteral("SN-0042");
    std::unique_ptr<MqttClient> m_mqtt;
    std::unique_ptr<manager::Board> m_board;
    std::unique_ptr<manager::Network> m_network;
    std::unique_ptr<manager::Validator> m_validator;
    std::unique_ptr<Diagnostics> m_diag;
};

void tst_Diagnostics::init()
{
    m_sysfs = std::make_unique<QTemporaryDir>();
    QVERIFY(m_sysfs->isValid());
    QDir(m_sysfs->path()).mkpath(QStringLiteral("usb"));
    m_mqtt = std::make_unique<MqttClient>();
    m_board = std::make_unique<manager::Board>(*m_mqtt, QStringLiteral("vorn/board"));
    m_network = std::make_unique<manager::Network>(*m_mqtt, QStringLiteral("vorn/network"));
    m_validator = std::make_unique<manager::Validator>(*m_mqtt, QStringLiteral("vorn/blm"));
    m_diag = std::make_unique<Diagnostics>(m_deviceId, *m_board, *m_network, *m_validator);
    m_diag->setUsbDevicesRoot(usbRoot());
    m_diag->setSdCardPath(m_sysfs->path() + QStringLiteral("/mmcblk1p1"));
    m_diag->setVirtualPortPath(m_sysfs->path() + QStringLiteral("/vcom"));
    m_diag->setSerialPortLister([] { return QList<Diagnostics::SerialPortEntry>(); });
}

void tst_Diagnostics::cleanup()
{
    m_diag.reset();
    m_validator.reset();
    m_network.reset();
    m_board.reset();
    m_mqtt.reset();
    m_sysfs.reset();
}

void tst_Diagnostics::usbDevices()
{
    // Hub matches, mPCIe is any device, RFID has a wrong product id, FTDI
    // matches, Touch has a NUL-padded id; USB Host and Barcode are absent.
    addUsbDevice(usbRoot(), QStringLiteral("1-1"), "0451", "2077");
    addUsbDevice(usbRoot(), QStringLiteral("1-1.2"), "dead", "beef");
    addUsbDevice(usbRoot(), QStringLiteral("1-1.3"), "0ab1", "0008");
    addUsbDevice(usbRoot(), QStringLiteral("1-1.5"), "0403", "6015");
    addUsbDevice(usbRoot(), QStringLiteral("1-1.7"), QByteArray("222a\0garbage", 12), "0001");

    QSignalSpy ftdiChanged(m_diag.get(), &Diagnostics::ftdiChanged);
    m_diag->start(0);
    QCOMPARE(m_diag->usbHub(), QStringLiteral("OK"));
    QCOMPARE(m_diag->mPCIe1(), QStringLiteral("OK"));
    QCOMPARE(m_diag->rfidUsb(), QStringLiteral("ERROR"));
    QCOMPARE(m_diag->usbHost(), QStringLiteral("MISSING"));
    QCOMPARE(m_diag->ftdi(), QStringLiteral("OK"));
    QCOMPARE(m_diag->barcodeUsb(), QStringLiteral("MISSING"));
    QCOMPARE(m_diag->touch(), QStringLiteral("OK"));
    QCOMPARE(ftdiChanged.count(), 1);

    // Unchanged results fire nothing; a device that goes away does.
    m_diag->start(0);
    QCOMPARE(ftdiChanged.count(), 1);
    QVERIFY(QDir(usbRoot() + QStringLiteral("/1-1.5")).removeRecursively());
    m_diag->start(0);
    QCOMPARE(m_diag->ftdi(), QStringLiteral("MISSING"));
    QCOMPARE(ftdiChanged.count(), 2);
}

void tst_Diagnostics::unreadableSysfsFile()
{
    // The directory exists but holds no id files: a specific id cannot match,
    // "any device" still passes.
    QDir(usbRoot()).mkpath(QStringLiteral("1-1.5"));
    QDir(usbRoot()).mkpath(QStringLiteral("1-1.6"));
    QTest::ignoreMessage(
        QtCriticalMsg,
        QRegularExpression(QStringLiteral("^\\[Diagnostics\\] ERROR: Failed to open fle : .*")));
    m_diag->start(0);
    QCOMPARE(m_diag->ftdi(), QStringLiteral("ERROR"));
    QCOMPARE(m_diag->barcodeUsb(), QStringLiteral("OK"));
}

void tst_Diagnostics::sdCard()
{
    m_diag->start(0);
    QCOMPARE(m_diag->sdCard(), QStringLiteral("MISSING"));
    QFile node(m_sysfs->path() + QStringLiteral("/mmcblk1p1"));
    QVERIFY(node.open(QIODevice::WriteOnly));
    node.close();
    QSignalSpy changed(m_diag.get(), &Diagnostics::sdCardChanged);
    m_diag->start(0);
    QCOMPARE(m_diag->sdCard(), QStringLiteral("OK"));
    QCOMPARE(changed.count(), 1);
}

void tst_Diagnostics::computedValues_data()
{
    QTest::addColumn<QByteArray>("device");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");

    QTest::newRow("temperature 15.0") << QByteArray(R"("temperature": 15.0)") << "temperature"
                                      << "ERROR";
    QTest::newRow("temperature 15.1") << QByteArray(R"("temperature": 15.1)") << "temperature"
                                      << "OK";
    QTest::newRow("temperature 69.9") << QByteArray(R"("temperature": 69.9)") << "temperature"
                                      << "OK";
    QTest::newRow("temperature 70.0") << QByteArray(R"("temperature": 70.0)") << "temperature"
                                      << "ERROR";
    QTest::newRow("voltage 9.0") << QByteArray(R"("voltage": 9.0)") << "voltage"
                                 << "ERROR";
    QTest::newRow("voltage 24") << QByteArray(R"("voltage": 24)") << "voltage"
                                << "OK";
    QTest::newRow("voltage 40.0") << QByteArray(R"("voltage": 40.0)") << "voltage"
                                  << "ERROR";
    QTest::newRow("pole id empty") << QByteArray(R"("poleId": "")") << "poleId"
                                   << "MISSING";
    QTest::newRow("pole id 16 zeros") << QByteArray(R"("poleId": "0000000000000000")") << "poleId"
                                      << "ERROR";
    QTest::newRow("pole id 15 zeros") << QByteArray(R"("poleId": "000000000000000")") << "poleId"
                                      << "OK";
    QTest::newRow("pole id 17 zeros") << QByteArray(R"("poleId": "00000000000000000")") << "poleId"
                                      << "OK";
    QTest::newRow("rtc failed") << QByteArray(R"("hardwareStatus": {"rtcFailed": true})") << "rtc"
                                << "ERROR";
    QTest::newRow("rtc fine") << QByteArray(R"("hardwareStatus": {"rtcFailed": false})") << "rtc"
                              << "OK";
    QTest::newRow("board online") << QByteArray(R"("poleId": "P1")") << "boardService"
                                  << "OK";
}

void tst_Diagnostics::computedValues()
{
    QFETCH(QByteArray, device);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    boardStatus(*m_mqtt, device);
    QCOMPARE(m_diag->property(property.toLatin1().constData()).toString(), expected);
}

void tst_Diagnostics::serviceValuesFollowTheProxies()
{
    QCOMPARE(m_diag->boardService(), QStringLiteral("ERROR"));
    QCOMPARE(m_diag->ethernet(), QStringLiteral("ERROR"));
    QCOMPARE(m_diag->sam(), QStringLiteral("ERROR"));
    QCOMPARE(m_diag->rfidService(), QStringLiteral("ERROR"));

    QSignalSpy ethernetChanged(m_diag.get(), &Diagnostics::ethernetChanged);
    QSignalSpy rtcChanged(m_diag.get(), &Diagnostics::rtcChanged);
    QSignalSpy samChanged(m_diag.get(), &Diagnostics::samChanged);
    QSignalSpy barcodeServiceChanged(m_diag.get(), &Diagnostics::barcodeServiceChanged);

    deliver(*m_mqtt, QStringLiteral("vorn/network/ethernet/state"), R"({"stateStr": "Connected"})");
    QCOMPARE(m_diag->ethernet(), QStringLiteral("OK"));
    QCOMPARE(ethernetChanged.count(), 1);
    boardStatus(*m_mqtt, R"("hardwareStatus": {"rtcFailed": true})");
    QCOMPARE(rtcChanged.count(), 1);

    const auto status = [&](const QByteArray &rfid) {
        deliver(*m_mqtt, QStringLiteral("vorn/blm/status"),
                R"({"service": true, "device": {"rfid": )" + rfid + R"(, "barcode": {"active": true}}})");
    };
    status(R"({"state": 3, "active": true, "sams": []})");
    QCOMPARE(m_diag->rfidService(), QStringLiteral("OK"));
    QCOMPARE(m_diag->barcodeService(), QStringLiteral("OK"));
    QCOMPARE(barcodeServiceChanged.count(), 1);
    QCOMPARE(m_diag->sam(), QStringLiteral("MISSING"));
    status(R"({"state": 3, "active": true, "sams": [{"slot": 0, "atr": "", "uid": "5A01"}]})");
    QCOMPARE(m_diag->sam(), QStringLiteral("ERROR"));
    status(R"({"state": 3, "active": true, "sams": [{"slot": 0, "atr": "3B8F", "uid": "5A01"}]})");
    QCOMPARE(m_diag->sam(), QStringLiteral("OK"));
    QVERIFY(samChanged.count() >= 3);
    // A reader that stops overrides a good SAM.
    status(R"({"state": 3, "active": false, "sams": [{"slot": 0, "atr": "3B8F", "uid": "5A01"}]})");
    QCOMPARE(m_diag->sam(), QStringLiteral("ERROR"));
}

void tst_Diagnostics::verdictSetters()
{
    QSignalSpy changed(m_diag.get(), &Diagnostics::buzzerChanged);
    m_diag->setProperty("buzzer", QStringLiteral("OK"));
    m_diag->setProperty("buzzer", QStringLiteral("OK"));
    QCOMPARE(m_diag->buzzer(), QStringLiteral("OK"));
    QCOMPARE(changed.count(), 1);

    QSignalSpy flowChanged(m_diag.get(), &Diagnostics::serialFlowCtrlChanged);
    QTest::ignoreMessage(QtWarningMsg, "[Diagnostics] ------------- Serial Flow ctrl changed : 0");
    m_diag->setSerialFlowCtrl(0);
    m_diag->setSerialFlowCtrl(0);
    QCOMPARE(flowChanged.count(), 1);
}

void tst_Diagnostics::serialLoopback_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no port chosen") << 0 << "MISSING";
    QTest::newRow("loopback plug") << 1 << "OK";
    QTest::newRow("no plug") << 2 << "ERROR";
    QTest::newRow("port absent") << 3 << "ERROR (Could not open)";
}

void tst_Diagnostics::serialLoopback()
{
    QFETCH(int, kind);
    QFETCH(QString, expected);
    PseudoTerminal terminal(kind == 1);
    QVERIFY(!terminal.path().isEmpty());
    m_diag->setSerialFlowCtrl(0);
    if (kind == 1 || kind == 2)
        m_diag->setSerialPort(terminal.path());
    else if (kind == 3)
        m_diag->setSerialPort(m_sysfs->path() + QStringLiteral("/ttyNone"));

    QSignalSpy changed(m_diag.get(), &Diagnostics::serialPortTestChanged);
    m_diag->start(0);
    QCOMPARE(m_diag->serialPortTest(), expected);
    QCOMPARE(changed.count(), 1);
}

void tst_Diagnostics::serialPortList()
{
    QList<Diagnostics::SerialPortEntry> ports {{QStringLiteral("ttyS0"), QStringLiteral("Console")}};
    m_diag->setSerialPortLister([&ports] { return ports; });
    QSignalSpy listChanged(m_diag.get(), &Diagnostics::serialPortsChanged);

    m_diag->start(0);
    QCOMPARE(m_diag->serialPorts(), QStringList({QStringLiteral("NONE"), QStringLiteral("ttyS0")}));
    QCOMPARE(m_diag->serialPortDescr(QStringLiteral("ttyS0")), QStringLiteral("Console"));
    QCOMPARE(m_diag->serialPortDescr(QStringLiteral("ttyS")), QString());

    QFile vcom(m_sysfs->path() + QStringLiteral("/vcom"));
    QVERIFY(vcom.open(QIODevice::WriteOnly));
    vcom.close();
    m_diag->setSerialPort(QStringLiteral("ttyS0"));
    ports.append({QStringLiteral("ttyUSB0"), QStringLiteral("Adapter")});
    m_diag->start(0);
    QCOMPARE(m_diag->serialPorts(),
             QStringList({QStringLiteral("NONE"), QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0"),
                          vcom.fileName()}));
    QCOMPARE(listChanged.count(), 2);
    // The adapter port wins over the technician's earlier choice.
    QCOMPARE(m_diag->serialPort(), QStringLiteral("ttyUSB0"));
}

void tst_Diagnostics::startAndStop()
{
    QSignalSpy listChanged(m_diag.get(), &Diagnostics::serialPortsChanged);
    QTest::ignoreMessage(QtInfoMsg, "[Diagnostics] Starting Diagnostic check (interval=0 sec)");
    m_diag->start(0);
    QCOMPARE(listChanged.count(), 1);
    // No timer: a later change is not picked up.
    addUsbDevice(usbRoot(), QStringLiteral("1-1"), "0451", "2077");
    QTest::qWait(0);
    QCOMPARE(m_diag->usbHub(), QStringLiteral("MISSING"));

    m_diag->start(1);
    QCOMPARE(m_diag->usbHub(), QStringLiteral("OK"));
    QDir(usbRoot() + QStringLiteral("/1-1")).removeRecursively();
    QTRY_COMPARE_WITH_TIMEOUT(m_diag->usbHub(), QStringLiteral("MISSING"), 5000);

    m_diag->setBuzzer(QStringLiteral("OK"));
    m_diag->stop();
    addUsbDevice(usbRoot(), QStringLiteral("1-1"), "0451", "2077");
    QSignalSpy hubChanged(m_diag.get(), &Diagnostics::usbHubChanged);
    QVERIFY(!hubChanged.wait(1500));
    QCOMPARE(m_diag->usbHub(), QStringLiteral("MISSING"));
    QCOMPARE(m_diag->buzzer(), QStringLiteral("OK"));
}

void tst_Diagnostics::startWithOutOfRangeInterval_data()
{
    QTest::addColumn<int>("intervalSec");
    QTest::addColumn<QString>("warning");
    QTest::newRow("negative") << -1 << "[Diagnostics] Negative check interval (-1 sec): checked once only";
    // Times 1000 in an int this wraps around to 704 ms.
    QTest::newRow("wraps to a short period")
        << 4294968 << "[Diagnostics] Check interval too long (4294968 sec): using 2147483647 msec(s)";
    QTest::newRow("largest int")
        << std::numeric_limits<int>::max()
        << "[Diagnostics] Check interval too long (2147483647 sec): using 2147483647 msec(s)";
}

void tst_Diagnostics::startWithOutOfRangeInterval()
{
    QFETCH(int, intervalSec);
    QFETCH(QString, warning);
    QTest::ignoreMessage(
        QtInfoMsg,
        qPrintable(
            QStringLiteral("[Diagnostics] Starting Diagnostic check (interval=%1 sec)").arg(intervalSec)));
    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    m_diag->start(intervalSec);
    QCOMPARE(m_diag->usbHub(), QStringLiteral("MISSING"));
    // One check at once, and no further one soon after.
    addUsbDevice(usbRoot(), QStringLiteral("1-1"), "0451", "2077");
    QSignalSpy hubChanged(m_diag.get(), &Diagnostics::usbHubChanged);
    QVERIFY(!hubChanged.wait(1500));
    QCOMPARE(m_diag->usbHub(), QStringLiteral("MISSING"));
}

void tst_Diagnostics::reportFile()
{
    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));

    boardStatus(*m_mqtt, R"("temperature": 40, "voltage": 24, "poleId": "P1")");
    deliver(*m_mqtt, QStringLiteral("vorn/board/info"), R"({"device": {"firmwareVersion": "b-1.2"}})");
    m_diag->setBuzzer(QStringLiteral("OK"));
    m_diag->setRgbTest(QStringLiteral("ERROR"));
    QSignalSpy finished(m_diag.get(), &Diagnostics::saveReportFinished);
    m_diag->saveReport();
    QDir::setCurrent(previous);

    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    const QString message = finished.at(0).at(1).toString();
    QVERIFY(message.startsWith(QStringLiteral("Test report saved successfully:\n./TestReport_")));
    const QString fileName = message.section(QLatin1Char('\n'), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^\\./TestReport_\\d{8}_\\d{4}\\.txt$"))
                .match(fileName)
                .hasMatch());

    QFile file(work.filePath(fileName));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(!content.endsWith('\n'));
    const QList<QByteArray> lines = content.split('\n');
    QCOMPARE(lines.size(), 37);
    QCOMPARE(lines.at(0), QByteArray(53, '-'));
    QCOMPARE(lines.at(1), QByteArray(" DEVICE TEST REPORT"));
    for (int i = 3; i < lines.size(); ++i)
        QVERIFY2(lines.at(i).size() == 53, lines.at(i).constData());
    QCOMPARE(lines.at(3), QByteArray(" Device UID       ") + QByteArray(28, ' ') + "SN-0042");
    QCOMPARE(lines.at(5).simplified(), QByteArray("SAM SAM not present"));
    QCOMPARE(lines.at(8).simplified(), QByteArray("Board Firmware b-1.2"));
    QCOMPARE(lines.at(10).simplified(), QByteArray("Bundle Version <null>"));
    QCOMPARE(lines.at(22).simplified(), QByteArray("Temperature OK"));
    QCOMPARE(lines.at(27).simplified(), QByteArray("Buzzer OK"));
    QCOMPARE(lines.at(32).simplified(), QByteArray("Barocde Manager ERROR"));
    QCOMPARE(lines.at(35).simplified(), QByteArray("Display RGB Test ERROR"));
    QCOMPARE(lines.at(36), QByteArray(53, '-'));
}

void tst_Diagnostics::reportFileUnwritable()
{
    // A working directory that vanished: no file can be made there.
    const QString previous = QDir::currentPath();
    {
        QTemporaryDir gone;
        QVERIFY(QDir::setCurrent(gone.path()));
    }
    QSignalSpy finished(m_diag.get(), &Diagnostics::saveReportFinished);
    QTest::ignoreMessage(
        QtCriticalMsg,
        QRegularExpression(QStringLiteral("^\\[Diagnostics\\] ERROR: Could not save file : .+")));
    m_diag->saveReport();
    QDir::setCurrent(previous);

    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(
        finished.at(0).at(1).toString().startsWith(QStringLiteral("Could not save Test Report\nERROR: ")));
}

void tst_Diagnostics::qrPayload()
{
    const QString date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    const QString url = m_diag->generateQr();
    if (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")) != date)
        QSKIP("the minute turned while the code was made");
    QVERIFY(url.startsWith(QStringLiteral("data:image/svg,<?xml")));
    QVERIFY(url.endsWith(QStringLiteral("</svg>")));

    // The same text through the generator gives the same image: 35 fields,
    // the empty ones included.
    QStringList fields {m_deviceId, date,      QStringLiteral("SAM not present"),      QString(),
                        QString(),  QString(), QCoreApplication::applicationVersion(), QString(),
                        QString()};
    fields << QStringLiteral("OK") << QStringLiteral("ERROR"); // rtc, ethernet
    for (int i = 0; i < 10; ++i)
        fields << QString(); // USB devices, SD card, buzzer, LEDs
    fields << QStringLiteral("OK") << QStringLiteral("ERROR") << QStringLiteral("ERROR") // ignition..voltage
           << QStringLiteral("ERROR") << QString() << QString() << QString() // sam..cardScan
           << QStringLiteral("ERROR") << QStringLiteral("ERROR") << QStringLiteral("ERROR") // services
           << QString() << QString() << QStringLiteral("MISSING") << QString();
    QCOMPARE(fields.size(), 35);
    const QString expected
        = QrCodeGenerator().generateSvgQr(fields.join(QLatin1Char(';')), 1, qrcodegen::QrCode::Ecc::MEDIUM);
    QCOMPARE(url, QStringLiteral("data:image/svg,") + expected);
}

void tst_Diagnostics::qrTooLongYieldsNoImage()
{
    deliver(*m_mqtt, QStringLiteral("vorn/board/info"),
            R"({"device": {"firmwareVersion": ")" + QByteArray(4000, 'x') + R"("}})");
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Could not encode QR code")));
    QCOMPARE(m_diag->generateQr(), QString());
}

QTEST_GUILESS_MAIN(tst_Diagnostics)
#include "tst_Diagnostics.moc"
