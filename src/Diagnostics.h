#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace manager {
class Board;
class Network;
class Validator;
} // namespace manager

// The hardware self-test behind the maintenance diagnostics page: probes the
// USB devices on the board's hub, the SD card and a serial loopback plug while
// the page is open, derives pass or fail values from what the services report,
// keeps the technician's verdicts and turns them all into a test report file
// and a QR code.
class Diagnostics : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString rtc READ rtc NOTIFY rtcChanged)
    Q_PROPERTY(QString ethernet READ ethernet NOTIFY ethernetChanged)
    Q_PROPERTY(QString usbHub READ usbHub NOTIFY usbHubChanged)
    Q_PROPERTY(QString mPCIe1 READ mPCIe1 NOTIFY mPCIe1Changed)
    Q_PROPERTY(QString rfidUsb READ rfidUsb NOTIFY rfidUsbChanged)
    Q_PROPERTY(QString usbHost READ usbHost NOTIFY usbHostChanged)
    Q_PROPERTY(QString ftdi READ ftdi NOTIFY ftdiChanged)
    Q_PROPERTY(QString barcodeUsb READ barcodeUsb NOTIFY barcodeUsbChanged)
    Q_PROPERTY(QString touch READ touch NOTIFY touchChanged)
    Q_PROPERTY(QString sdCard READ sdCard NOTIFY sdCardChanged)
    Q_PROPERTY(QString buzzer READ buzzer WRITE setBuzzer NOTIFY buzzerChanged)
    Q_PROPERTY(QString leds READ leds WRITE setLeds NOTIFY ledsChanged)
    Q_PROPERTY(QString speaker READ speaker WRITE setSpeaker NOTIFY speakerChanged)
    Q_PROPERTY(QString barcodeScan READ barcodeScan WRITE setBarcodeScan NOTIFY barcodeScanChanged)
    Q_PROPERTY(QString cardScan READ cardScan WRITE setCardScan NOTIFY cardScanChanged)
    Q_PROPERTY(QString lightSensor READ lightSensor WRITE setLightSensor NOTIFY lightSensorChanged)
    Q_PROPERTY(QString rgbTest READ rgbTest WRITE setRgbTest NOTIFY rgbTestChanged)
    Q_PROPERTY(QString ignition READ ignition NOTIFY ignitionChanged)
    Q_PROPERTY(QString temperature READ temperature NOTIFY temperatureChanged)
    Q_PROPERTY(QString voltage READ voltage NOTIFY voltageChanged)
    Q_PROPERTY(QString sam READ sam NOTIFY samChanged)
    Q_PROPERTY(QString rfidService READ rfidService NOTIFY rfidServiceChanged)
    Q_PROPERTY(QString barcodeService READ barcodeService NOTIFY barcodeServiceChanged)
    Q_PROPERTY(QString boardService READ boardService NOTIFY boardServiceChanged)
    Q_PROPERTY(QString poleId READ poleId NOTIFY poleIdChanged)
    Q_PROPERTY(QString serialPortTest READ serialPortTest NOTIFY serialPortTestChanged)
    Q_PROPERTY(QStringList serialPorts READ serialPorts NOTIFY serialPortsChanged)
    Q_PROPERTY(QString serialPort READ serialPort WRITE setSerialPort NOTIFY serialPortChanged)
    Q_PROPERTY(int serialFlowCtrl READ serialFlowCtrl WRITE setSerialFlowCtrl NOTIFY serialFlowCtrlChanged)

public:
    struct UsbDevice
    {
        QString name;
        QString id;
        QString path;
    };

    // What the serial library reports about one available port.
    struct SerialPortEntry
    {
        QString name;
        QString description;
    };
    using SerialPortLister = std::function<QList<SerialPortEntry>()>;

    Diagnostics(const QString &deviceId, manager::Board &board, manager::Network &network,
                manager::Validator &validator, QObject *parent = nullptr);

    QString rtc() const;
    QString ethernet() const;
    QString usbHub() const { return m_usbHub; }
    QString mPCIe1() const { return m_mPCIe1; }
    QString rfidUsb() const { return m_rfidUsb; }
    QString usbHost() const { return m_usbHost; }
    QString ftdi() const { return m_ftdi; }
    QString barcodeUsb() const { return m_barcodeUsb; }
    QString touch() const { return m_touch; }
    QString sdCard() const { return m_sdCard; }
    QString buzzer() const { return m_buzzer; }
    QString leds() const { return m_leds; }
    QString speaker() const { return m_speaker; }
    QString barcodeScan() const { return m_barcodeScan; }
    QString cardScan() const { return m_cardScan; }
    QString lightSensor() const { return m_lightSensor; }
    QString rgbTest() const { return m_rgbTest; }
    QString ignition() const;
    QString temperature() const;
    QString voltage() const;
    QString sam() const;
    QString rfidService() const;
    QString barcodeService() const;
    QString boardService() const;
    QString poleId() const;
    QString serialPortTest() const { return m_serialPortTest; }
    QStringList serialPorts() const { return m_serialPorts; }
    QString serialPort() const { return m_serialPort; }
    int serialFlowCtrl() const { return m_serialFlowCtrl; }

    void setBuzzer(const QString &value);
    void setLeds(const QString &value);
    void setSpeaker(const QString &value);
    void setBarcodeScan(const QString &value);
    void setCardScan(const QString &value);
    void setLightSensor(const QString &value);
    void setRgbTest(const QString &value);
    void setSerialPort(const QString &value);
    void setSerialFlowCtrl(int value);

    // The platform paths default to the board's; the simulator and the tests
    // point them at stand-ins.
    void setUsbDevicesRoot(const QString &path) { m_usbDevicesRoot = path; }
    void setSdCardPath(const QString &path) { m_sdCardPath = path; }
    void setVirtualPortPath(const QString &path) { m_virtualPortPath = path; }
    void setSerialPortLister(SerialPortLister lister) { m_serialPortLister = std::move(lister); }

    static const QList<UsbDevice> m_usbDevices;

public Q_SLOTS:
    void start(int intervalSec);
    void start() { start(1); }
    void stop();
    void saveReport();
    QString generateQr();
    QString serialPortDescr(const QString &portName);

Q_SIGNALS:
    void rtcChanged();
    void ethernetChanged();
    void usbHubChanged();
    void mPCIe1Changed();
    void rfidUsbChanged();
    void barcodeUsbChanged();
    void ftdiChanged();
    void usbHostChanged();
    void touchChanged();
    void sdCardChanged();
    void buzzerChanged();
    void ledsChanged();
    void ignitionChanged();
    void temperatureChanged();
    void voltageChanged();
    void samChanged();
    void speakerChanged();
    void barcodeScanChanged();
    void cardScanChanged();
    void saveReportFinished(bool result, const QString &message);
    void rfidServiceChanged();
    void barcodeServiceChanged();
    void boardServiceChanged();
    void lightSensorChanged();
    void rgbTestChanged();
    void poleIdChanged();
    void serialPortTestChanged();
    void serialPortsChanged();
    void serialPortChanged();
    void serialFlowCtrlChanged();

private:
    void check();
    QString testUsbDevice(const UsbDevice &device) const;
    QString testSdCard() const;
    QString testSerialPort() const;
    void refreshSerialPorts();
    QString readSysfsFile(const QString &path) const;
    QString samUid() const;
    QString boardFirmware() const;
    QList<SerialPortEntry> availablePorts() const;

    QString m_usbHub;
    QString m_mPCIe1;
    QString m_rfidUsb;
    QString m_barcodeUsb;
    QString m_ftdi;
    QString m_usbHost;
    QString m_touch;
    QString m_sdCard;
    QString m_buzzer;
    QString m_leds;
    QString m_speaker;
    QString m_barcodeScan;
    QString m_cardScan;
    QString m_lightSensor;
    QString m_rgbTest;
    QString m_serialPortTest;
    QString m_serialPort = QStringLiteral("NONE");
    QStringList m_serialPorts;
    int m_serialFlowCtrl = 1;
    QTimer m_timer;
    const QString &m_deviceId;
    manager::Board &m_board;
    manager::Network &m_network;
    manager::Validator &m_validator;

    QString m_usbDevicesRoot = QStringLiteral("/sys/bus/usb/devices");
    QString m_sdCardPath = QStringLiteral("/dev/mmcblk1p1");
    QString m_virtualPortPath = QStringLiteral("/tmp/vcom");
    SerialPortLister m_serialPortLister;
};
