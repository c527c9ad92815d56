import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "PageChecks.js" as Checks

// Hardware self-test: the periodic checks run while the page is open; the
// buttons below run the tests that need the technician's eyes and ears.
Item {
    id: root

    readonly property var diagnostics: manager.diagnostics
    readonly property string soundFile: "/opt/vorn/tallyport/Valid.wav"
    // The test whose popup is open: "buzzer", "leds", "rfid", "barcode",
    // "speaker", "sensor", "rgb" or "".
    property string runningTest: ""
    property bool reportSaved: false
    property alias questionPopup: question
    property alias messagePopup: message
    property alias resultPopup: result
    property alias serialPopup: serialDialog
    property alias rgbTest: rgb

    function text(value) {
        return value === undefined || value === null ? "" : String(value)
    }

    function colourOf(name) {
        switch (name) {
        case "green":
            return Material.color(Material.Green)
        case "red":
            return Material.color(Material.Red)
        case "amber":
            return Material.color(Material.Amber)
        }
        return Material.color(Material.Grey)
    }

    function ask(test) {
        runningTest = test
        question.test = test
        question.open()
    }

    // Popup texts are bound to what they show, not set when opened, so they
    // follow a language change while open.
    function questionText(test) {
        switch (test) {
        case "buzzer":
            return qsTr("Can you hear the buzzer?")
        case "leds":
            return qsTr("Can you see the LEDs flashing?")
        case "speaker":
            return qsTr("Can you hear the internal speaker?")
        case "sensor":
            return qsTr("Is LCD brightness adjusting?") + "\n" + qsTr("Brightness : ") + board.displayBrightness
                    + "%\n" + qsTr("Light Sensor : ") + board.ambientLightSensor + "%"
        case "rgb":
            return qsTr("Was the RGB test successful?")
        }
        return ""
    }

    function messageText(test, cardUid, cardType) {
        if (test === "barcode")
            return qsTr("Scan a barcode")
        if (test === "rfid" && cardUid !== "")
            return qsTr("CARD DETECTED\n%1\n%2").arg(cardUid).arg(cardType)
        if (test === "rfid")
            return qsTr("Tap a card")
        return ""
    }

    // Starts one interactive test by the name of its verdict.
    function runTest(test) {
        switch (test) {
        case "buzzer":
            ask(test)
            board.playBuzzer(100, 200, 3)
            break
        case "leds":
            ask(test)
            board.setLedTestPattern()
            break
        case "speaker":
            ask(test)
            inspector.audioPlay(soundFile)
            break
        case "sensor":
            ask(test)
            board.monitor(2000)
            break
        case "rfid":
            runningTest = test
            message.test = test
            message.cardUid = ""
            validatorManager.enableRfid()
            message.open()
            break
        case "barcode":
            runningTest = test
            message.test = test
            validatorManager.enableBarcode()
            message.open()
            break
        case "rgb":
            runningTest = test
            rgb.start()
            break
        }
    }

    // Undoes what the running test switched on.
    function endTest() {
        switch (runningTest) {
        case "leds":
            board.setLedOff()
            break
        case "sensor":
            board.monitor(0)
            break
        case "rfid":
            validatorManager.disableRfid()
            break
        case "barcode":
            validatorManager.disableBarcode()
            break
        }
        runningTest = ""
    }

    function setVerdict(test, passed) {
        var value = passed ? "OK" : "ERROR"
        switch (test) {
        case "buzzer":
            diagnostics.buzzer = value
            break
        case "leds":
            diagnostics.leds = value
            break
        case "speaker":
            diagnostics.speaker = value
            break
        case "sensor":
            diagnostics.lightSensor = value
            break
        case "rgb":
            diagnostics.rgbTest = value
            break
        }
    }

    function answer(passed) {
        var test = runningTest
        endTest()
        setVerdict(test, passed)
    }

    Component.onCompleted: {
        if (diagnostics)
            diagnostics.start()
    }
    Component.onDestruction: {
        endTest()
        if (diagnostics)
            diagnostics.stop()
    }

    Connections {
        target: validatorManager
        ignoreUnknownSignals: true

        function onCardDetected(uid, type) {
            if (root.runningTest !== "rfid")
                return
            message.cardUid = uid
            message.cardType = type
            root.diagnostics.cardScan = "OK"
        }
        function onCardRemoved() {
            if (root.runningTest === "rfid")
                message.cardUid = ""
        }
        // Only a result of the barcode reader, and only while its test runs:
        // card results arrive as validations too.
        function onBarcodeScanned() {
            if (root.runningTest !== "barcode")
                return
            root.diagnostics.barcodeScan = "OK"
            message.close()
        }
    }

    Connections {
        target: root.diagnostics
        ignoreUnknownSignals: true

        function onSaveReportFinished(saved, text) {
            root.reportSaved = saved
            result.text = text
            result.imageSource = saved ? root.diagnostics.generateQr() : ""
            result.open()
        }
    }

    Flickable {
        anchors.fill: parent
        contentHeight: content.height + buttons.height + 50
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        GroupBox {
            id: content
            x: 15
            y: 10
            width: parent.width - 30
            topPadding: 10
            bottomPadding: 6

            Column {
                width: parent.width

                Repeater {
                    model: [[QT_TR_NOOP("RTC"), "rtc"],
                            [QT_TR_NOOP("Ethernet"), "ethernet"],
                            [QT_TR_NOOP("USB Hub"), "usbHub"],
                            [QT_TR_NOOP("USB Host"), "usbHost"],
                            [QT_TR_NOOP("FTDI"), "ftdi"],
                            [QT_TR_NOOP("mPCIe #1"), "mPCIe1"],
                            [QT_TR_NOOP("Touch"), "touch"],
                            [QT_TR_NOOP("SD Card"), "sdCard"],
                            [QT_TR_NOOP("Ignition"), "ignition"],
                            [QT_TR_NOOP("Temperature"), "temperature"],
                            [QT_TR_NOOP("System Voltage"), "voltage"],
                            [QT_TR_NOOP("RFID (USB)"), "rfidUsb"],
                            [QT_TR_NOOP("RFID (Service)"), "rfidService"],
                            [QT_TR_NOOP("Barcode (USB)"), "barcodeUsb"],
                            [QT_TR_NOOP("Barcode (Service)"), "barcodeService"],
                            [QT_TR_NOOP("SAM"), "sam"],
                            [QT_TR_NOOP("Board"), "boardService"],
                            [QT_TR_NOOP("Pole ID"), "poleId"],
                            [QT_TR_NOOP("Serial Port"), "serialPortTest"]]

                    delegate: StatusRow {
                        objectName: "diagRow_" + modelData[1]
                        implicitHeight: 26
                        title: manager.dynTr + qsTr(modelData[0])
                        value: root.diagnostics ? root.text(root.diagnostics[modelData[1]]) : ""
                        colourName: Checks.diagnosticsColour(value)
                        titleLabel.font.pixelSize: 15
                        valueLabel.font.pixelSize: 15
                    }
                }
            }
        }

        Grid {
            id: buttons
            x: 15
            y: content.y + content.height + 12
            width: parent.width - 30
            columns: 3
            spacing: 8

            Repeater {
                model: [{
                        "label": QT_TR_NOOP("Buzzer"),
                        "test": "buzzer",
                        "verdict": "buzzer"
                    }, {
                        "label": QT_TR_NOOP("LEDs"),
                        "test": "leds",
                        "verdict": "leds"
                    }, {
                        "label": QT_TR_NOOP("RFID"),
                        "test": "rfid",
                        "verdict": "cardScan"
                    }, {
                        "label": QT_TR_NOOP("Barcode"),
                        "test": "barcode",
                        "verdict": "barcodeScan"
                    }, {
                        "label": QT_TR_NOOP("Speaker"),
                        "test": "speaker",
                        "verdict": "speaker"
                    }, {
                        "label": QT_TR_NOOP("Sensor"),
                        "test": "sensor",
                        "verdict": "lightSensor"
                    }, {
                        "label": QT_TR_NOOP("RGB"),
                        "test": "rgb",
                        "verdict": "rgbTest"
                    }, {
                        "label": QT_TR_NOOP("Serial"),
                        "test": "serial",
                        "verdict": ""
                    }, {
                        "label": QT_TR_NOOP("FINISH"),
                        "test": "finish",
                        "verdict": ""
                    }]

                delegate: CustomButton {
                    readonly property string verdict: modelData.verdict !== "" && root.diagnostics ? root.text(
                                                                                                         root.diagnostics[modelData.verdict]) : ""
                    readonly property bool highlighted: modelData.test === "finish"
                                                        || (modelData.test === "rfid" && validatorManager.rfid
                                                            && validatorManager.rfid.enabled === true)
                    objectName: "button_" + modelData.test
                    width: (buttons.width - 16) / 3
                    height: 52
                    radius: 4
                    color: highlighted && verdict === "" ? Material.accent : root.colourOf(
                                                               modelData.test === "serial" ? "grey" : Checks.diagnosticsColour(
                                                                                                 verdict))
                    textColor: "white"
                    textBold: true
                    textFontPointSize: 11
                    text: manager.dynTr + qsTr(modelData.label)
                    onClicked: {
                        if (modelData.test === "serial")
                            serialDialog.open()
                        else if (modelData.test === "finish")
                            root.diagnostics.saveReport()
                        else
                            root.runTest(modelData.test)
                    }
                }
            }
        }
    }

    CustomPopup {
        id: question
        objectName: "questionPopup"
        parent: root
        isDialog: true
        language: manager.language
        windowHeight: 240
        // The test asked about; the light-sensor question shows live figures.
        property string test
        text: manager.dynTr + root.questionText(test)
        onButtonYesPressed: root.answer(true)
        onButtonNoPressed: root.answer(false)
    }

    CustomPopup {
        id: message
        objectName: "messagePopup"
        parent: root
        language: manager.language
        property string test
        property string cardUid
        property string cardType
        text: manager.dynTr + root.messageText(test, cardUid, cardType)
        onClosed: root.endTest()
    }

    CustomPopup {
        id: result
        objectName: "resultPopup"
        parent: root
        language: manager.language
        windowHeight: imageSource !== "" ? 420 : 200
        imageSize: Qt.size(260, 260)
        onClosed: {
            if (root.reportSaved && root.StackView.view)
                root.StackView.view.pop()
        }
    }

    SerialPortDialog {
        id: serialDialog
        parent: root
        diagnostics: root.diagnostics
    }

    RgbTest {
        id: rgb
        onFinished: root.ask("rgb")
    }
}
