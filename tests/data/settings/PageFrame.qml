import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import Tallyport.Test 1.0

// A frame like the maintenance screen's: a 70 px title bar over a stack of
// pages, with stand-ins for the service proxies the pages read.
ApplicationWindow {
    id: root

    property alias stack: stack
    property string title

    property QtObject networkStandIn: QtObject {
        property string connectionState: "Connected"
        property string connectivity: "Limited"
        property string hostname: "validator-k12345678"
        property QtObject primaryConnection: InterfaceHolder {
            interfaceName: "eth0"
            property string type: "802-3-ethernet"
            property QtObject ipv4: QtObject {
                property string address: "192.168.10.37"
                property string mask: "255.255.255.0"
                property string gateway: "192.168.10.1"
                property string dns0: "192.168.10.1"
            }
        }
        property QtObject ethernet: InterfaceHolder {
            interfaceName: "eth0"
            property string method: "auto"
            property string state: "Connected"
            property string mac: "02:4F:7A:10:C3:9E"
            property string reason: "No reason given"
            property int saves: 0
            property QtObject ipv4: QtObject {
                property string address: "192.168.10.37"
                property string mask: "255.255.255.0"
                property string gateway: "192.168.10.1"
                property string dns0: "192.168.10.1"
                property string dns1: "8.8.8.8"
            }
            property QtObject config: QtObject {
                property string address: "192.168.10.37"
                property string mask: "255.255.255.0"
                property string gateway: "192.168.10.1"
                property string dns0: "192.168.10.1"
                property string dns1: ""
            }
            function save() {
                saves++
            }
            // The proxy's checks, reduced to what the pictures need.
            function isAddress(text) {
                var parts = String(text).split(".")
                return text === "" || (parts.length === 4 && parts.every(function (p) {
                    return /^(0|[1-9][0-9]{0,2})$/.test(p) && Number(p) <= 255
                }))
            }
            function check(method, fields) {
                if (method !== "manual")
                    return ""
                var order = [["address", "AddressInvalid"], ["netmask", "MaskInvalid"], ["gateway", "GatewayInvalid"],
                             ["dns0", "Dns0Invalid"], ["dns1", "Dns1Invalid"]]
                for (var i = 0; i < order.length; ++i) {
                    if (!isAddress(fields[order[i][0]]))
                        return order[i][1]
                }
                return ""
            }
        }
    }

    property QtObject updateStandIn: QtObject {
        property string status: "Ready to install"
        property string current: "1.0.21"
        property string pending: "1.0.24"
        property int progressPercent: 100
        property string progressMessage: "Download complete: tallyport_1.0.24_armhf.deb"
        property int checks: 0
        property int installs: 0
        function check() {
            checks++
        }
        function install() {
            installs++
        }
    }

    property QtObject boardStandIn: QtObject {
        property int displayBrightness: 62
        property int ambientLightSensor: 38
        property var calls: []
        function playBuzzer(on, off, repeat) {
            calls.push("playBuzzer " + on + " " + off + " " + repeat)
        }
        function setLedTestPattern() {
            calls.push("setLedTestPattern")
        }
        function setLedOff() {
            calls.push("setLedOff")
        }
        function monitor(msec) {
            calls.push("monitor " + msec)
        }
    }

    property QtObject inspectorStandIn: QtObject {
        property var calls: []
        function audioPlay(file) {
            calls.push("audioPlay " + file)
        }
    }

    property QtObject validatorStandIn: QtObject {
        signal cardDetected(string uid, string type)
        signal cardRemoved
        signal ticketValidated
        signal barcodeScanned
        property QtObject rfid: QtObject {
            property bool enabled: false
        }
        property var calls: []
        function enableRfid() {
            calls.push("enableRfid")
            rfid.enabled = true
        }
        function disableRfid() {
            calls.push("disableRfid")
            rfid.enabled = false
        }
        function enableBarcode() {
            calls.push("enableBarcode")
        }
        function disableBarcode() {
            calls.push("disableBarcode")
        }
    }

    property QtObject diagnosticsStandIn: QtObject {
        signal saveReportFinished(bool result, string message)
        property string rtc: "OK"
        property string ethernet: "OK"
        property string usbHub: "OK"
        property string usbHost: "OK"
        property string ftdi: "OK"
        property string mPCIe1: "MISSING"
        property string touch: "OK"
        property string sdCard: "OK"
        property string ignition: "OK"
        property string temperature: "OK"
        property string voltage: "ERROR"
        property string rfidUsb: "OK"
        property string rfidService: "OK"
        property string barcodeUsb: "OK"
        property string barcodeService: "ERROR"
        property string sam: "MISSING"
        property string boardService: "OK"
        property string poleId: "OK"
        property string serialPortTest: ""
        property string buzzer: "OK"
        property string leds: "ERROR"
        property string speaker: ""
        property string barcodeScan: ""
        property string cardScan: ""
        property string lightSensor: ""
        property string rgbTest: ""
        property var serialPorts: ["ttyS1", "ttyUSB0", "vcom"]
        property string serialPort: "ttyUSB0"
        property int serialFlowCtrl: 1
        property int running: 0
        property int reports: 0
        function start() {
            running++
        }
        function stop() {
            running--
        }
        function saveReport() {
            reports++
        }
        function generateQr() {
            return "qrc:/qml/images/Icons/qr-code.svg"
        }
        function serialPortDescr(port) {
            return port === "ttyUSB0" ? "FT230X Basic UART" : ""
        }
    }

    property QtObject eventLogStandIn: QtObject {
        property var data: []
        function applyFilter(name) {}
        function applyFilterPeriod(period) {}
    }

    // Events as the event manager lists them, newest first.
    function makeEvents() {
        var now = new Date(2026, 11, 10, 5, 42)
        var list = []
        var entries = [["Login", "Maintenance login with PIN (user 1)"], ["Ignition on", "Ignition turned on"],
                       ["Ethernet connected", "eth0 connected, address 192.168.10.37"], ["Ignition off",
                                                                                          "Ignition turned off, shutdown in 300 sec"],
                       ["Application started", "Tallyport 1.0.21 started"], ["Logout", "Maintenance logout"]]
        for (var i = 0; i < entries.length; ++i) {
            list.push(eventComponent.createObject(root, {
                                                      "name": entries[i][0],
                                                      "description": entries[i][1],
                                                      "timestamp": new Date(now.getTime() - i * 47 * 60000)
                                                  }))
        }
        return list
    }

    // Shows one page, as the menu would, without transitions.
    function open(url) {
        stack.pop(null, StackView.Immediate)
        return stack.push(Qt.resolvedUrl(url), {}, StackView.Immediate)
    }

    Component {
        id: eventComponent
        QtObject {
            property string name
            property string description
            property date timestamp
        }
    }

    width: 480
    height: 800
    visible: true
    Material.theme: Material.Dark

    header: ToolBar {
        height: 70
        // As the maintenance screen's own header: drawn without a shader when no GPU draws.
        Material.elevation: GraphicsInfo.api === GraphicsInfo.Software ? 0 : 4
        Label {
            anchors.centerIn: parent
            text: root.title
            font.family: "DejaVu Sans"
            font.pixelSize: 28
        }
    }

    StackView {
        id: stack
        anchors.fill: parent
        initialItem: Item {}
    }
}
