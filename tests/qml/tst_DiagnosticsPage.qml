import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import "qrc:/qml/screens/settings"

Item {
    id: window
    width: 480
    height: 800

    // Stand-ins for the controller and the proxies, found by the page under
    // their context names.
    QtObject {
        id: manager
        property string dynTr: ""
        property string language: "en_IE"
        property QtObject diagnostics: QtObject {
            id: diagnostics
            signal saveReportFinished(bool result, string message)
            property string rtc: "OK"
            property string voltage: "ERROR"
            property string buzzer: ""
            property string leds: ""
            property string speaker: ""
            property string cardScan: ""
            property string barcodeScan: ""
            property string lightSensor: ""
            property string rgbTest: ""
            property var serialPorts: ["ttyS1", "ttyUSB0"]
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
                return ""
            }
        }
    }

    QtObject {
        id: board
        property int displayBrightness: 50
        property int ambientLightSensor: 20
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

    QtObject {
        id: inspector
        function audioPlay(file) {}
    }

    QtObject {
        id: validatorManager
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
        }
        function disableRfid() {
            calls.push("disableRfid")
        }
        function enableBarcode() {
            calls.push("enableBarcode")
        }
        function disableBarcode() {
            calls.push("disableBarcode")
        }
    }

    StackView {
        id: stack
        anchors.fill: parent
        initialItem: Item {}
    }

    Component {
        id: diagnosticsPage
        Diagnostics {}
    }

    TestCase {
        name: "DiagnosticsPage"
        when: windowShown

        property var page

        function init() {
            board.calls = []
            validatorManager.calls = []
            page = stack.push(diagnosticsPage, {}, StackView.Immediate)
            verify(page)
            // The buttons sit where the rows above them end, once laid out.
            waitForRendering(page)
        }

        function cleanup() {
            while (stack.depth > 1)
                stack.pop(null, StackView.Immediate)
            tryCompare(stack, "busy", false)
        }

        function test_checksRunOnlyWhileOpenAndVerdictsStay() {
            compare(diagnostics.running, 1)
            diagnostics.buzzer = "OK"
            stack.pop(null, StackView.Immediate)
            tryCompare(diagnostics, "running", 0)
            page = stack.push(diagnosticsPage, {}, StackView.Immediate)
            compare(diagnostics.running, 1)
            compare(diagnostics.buzzer, "OK")
        }

        function test_questionSetsVerdictAndUndoesTheTest_data() {
            return [{
                        "tag": "buzzer yes",
                        "test": "buzzer",
                        "verdict": "buzzer",
                        "yes": true,
                        "calls": ["playBuzzer 100 200 3"]
                    }, {
                        "tag": "leds no",
                        "test": "leds",
                        "verdict": "leds",
                        "yes": false,
                        "calls": ["setLedTestPattern", "setLedOff"]
                    }, {
                        "tag": "sensor yes",
                        "test": "sensor",
                        "verdict": "lightSensor",
                        "yes": true,
                        "calls": ["monitor 2000", "monitor 0"]
                    }]
        }

        function test_questionSetsVerdictAndUndoesTheTest(data) {
            diagnostics[data.verdict] = ""
            page.runTest(data.test)
            tryCompare(page.questionPopup, "opened", true)
            if (data.yes)
                page.questionPopup.buttonYesPressed()
            else
                page.questionPopup.buttonNoPressed()
            compare(diagnostics[data.verdict], data.yes ? "OK" : "ERROR")
            compare(board.calls, data.calls)
            page.questionPopup.close()
        }

        function test_cardTestShowsCardAndDisablesReaderOnClose() {
            diagnostics.cardScan = ""
            page.runTest("rfid")
            compare(validatorManager.calls, ["enableRfid"])
            compare(page.messagePopup.text, "Tap a card")
            validatorManager.cardDetected("04A1B2C3", "DESFire EV2")
            compare(page.messagePopup.text, "CARD DETECTED\n04A1B2C3\nDESFire EV2")
            compare(diagnostics.cardScan, "OK")
            validatorManager.cardRemoved()
            compare(page.messagePopup.text, "Tap a card")
            page.messagePopup.close()
            tryCompare(validatorManager, "calls", ["enableRfid", "disableRfid"])
        }

        function test_barcodeReadPassesBarcodeTestAndClosesIt() {
            diagnostics.barcodeScan = ""
            mouseClick(findChild(page, "button_barcode"))
            tryCompare(page.messagePopup, "opened", true)
            // A card tapped meanwhile is a validation too, but not from this reader.
            validatorManager.ticketValidated()
            compare(diagnostics.barcodeScan, "")
            verify(page.messagePopup.opened)
            validatorManager.barcodeScanned()
            validatorManager.ticketValidated()
            compare(diagnostics.barcodeScan, "OK")
            tryCompare(page.messagePopup, "visible", false)
            compare(validatorManager.calls, ["enableBarcode", "disableBarcode"])
        }

        function test_scanOutsideItsTestCountsForNothing() {
            diagnostics.barcodeScan = ""
            validatorManager.barcodeScanned()
            validatorManager.ticketValidated()
            compare(diagnostics.barcodeScan, "")
            // Nor while another test is running.
            mouseClick(findChild(page, "button_rfid"))
            tryCompare(page.messagePopup, "opened", true)
            validatorManager.barcodeScanned()
            compare(diagnostics.barcodeScan, "")
            page.messagePopup.close()
            tryCompare(page.messagePopup, "visible", false)
        }

        function test_rgbThirdTapAsksForVerdict() {
            diagnostics.rgbTest = ""
            page.runTest("rgb")
            tryCompare(page.rgbTest, "opened", true)
            compare(page.rgbTest.step, 0)
            page.rgbTest.tap()
            page.rgbTest.tap()
            compare(page.rgbTest.step, 2)
            verify(!page.questionPopup.visible)
            page.rgbTest.tap()
            tryCompare(page.rgbTest, "visible", false)
            tryCompare(page.questionPopup, "opened", true)
            compare(page.questionPopup.text, "Was the RGB test successful?")
            page.questionPopup.buttonYesPressed()
            compare(diagnostics.rgbTest, "OK")
            page.questionPopup.close()
        }

        function test_reportResult_data() {
            return [{
                        "tag": "saved",
                        "saved": true,
                        "image": "qrc:/qml/images/Icons/qr-code.svg",
                        "depth": 1
                    }, {
                        "tag": "failed",
                        "saved": false,
                        "image": "",
                        "depth": 2
                    }]
        }

        function test_reportResult(data) {
            diagnostics.saveReportFinished(data.saved, "Report written")
            tryCompare(page.resultPopup, "opened", true)
            compare(page.resultPopup.text, "Report written")
            compare(page.resultPopup.imageSource, data.image)
            page.resultPopup.close()
            tryCompare(page.resultPopup, "visible", false)
            tryCompare(stack, "depth", data.depth)
        }

        function test_serialDialogStoresOnOkAndRestoresOnCancel() {
            var dialog = page.serialPopup
            dialog.open()
            compare(dialog.portBox.currentText, "ttyUSB0")
            compare(dialog.flowBox.currentIndex, 1)
            dialog.portBox.currentIndex = 0
            dialog.flowBox.currentIndex = 2
            dialog.cancel()
            compare(diagnostics.serialPort, "ttyUSB0")
            compare(diagnostics.serialFlowCtrl, 1)
            compare(dialog.portBox.currentText, "ttyUSB0")
            dialog.open()
            dialog.portBox.currentIndex = 0
            dialog.flowBox.currentIndex = 0
            dialog.accept()
            compare(diagnostics.serialPort, "ttyS1")
            compare(diagnostics.serialFlowCtrl, 0)
            diagnostics.serialPort = "ttyUSB0"
            diagnostics.serialFlowCtrl = 1
        }
    }
}
