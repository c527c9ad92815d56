import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "SettingsLogic.js" as Logic

// Brightness, light sensor, cursor, theme and the display-off interval. The
// board reports its sensor only while this page is open.
SettingsPage {
    id: root

    readonly property var brightnessModes: ["auto", "manual"]
    readonly property bool manual: modeBox.currentText === "manual"
    readonly property var window: ApplicationWindow.window
    readonly property alias modeBox: modeBox
    readonly property alias brightnessSlider: brightnessSlider
    readonly property alias themeSwitch: themeSwitch
    readonly property alias offBox: offBox

    function setDarkTheme(dark) {
        console.log(dark ? "[QML] Switching to dark theme" : "[QML] Switching to light theme")
        if (window)
            window.Material.theme = dark ? Material.Dark : Material.Light
    }

    Component.onCompleted: board.monitor(1000)
    Component.onDestruction: board.monitor(0)

    GridLayout {
        width: parent.width
        columns: 2
        columnSpacing: 12
        rowSpacing: 10

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.5
            text: manager.dynTr + qsTr("Brightness Mode")
        }
        ComboBox {
            id: modeBox
            objectName: "modeBox"
            Layout.fillWidth: true
            model: root.brightnessModes
            currentIndex: Math.max(0, root.brightnessModes.indexOf(String(board.displayBrightnessMode)))
            font.family: "DejaVu Sans"
            onActivated: board.setDisplayBrightnessMode(currentText)
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.5
            text: manager.dynTr + qsTr("Display Brightness")
        }
        Label {
            objectName: "brightnessText"
            Layout.alignment: Qt.AlignRight
            text: Logic.percentText(brightnessSlider.value)
            font.family: "DejaVu Sans"
            font.pixelSize: 17
            font.bold: true
        }
        Slider {
            id: brightnessSlider
            objectName: "brightnessSlider"
            Layout.columnSpan: 2
            Layout.fillWidth: true
            enabled: root.manual
            from: 0
            to: 100
            stepSize: 1
            value: board.displayBrightness
            onPressedChanged: {
                if (!pressed)
                    board.setDisplayBrightness(Math.round(value))
            }
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.5
            text: manager.dynTr + qsTr("Ambient Light Sensor")
        }
        Label {
            objectName: "sensorText"
            Layout.alignment: Qt.AlignRight
            text: String(board.ambientLightSensor)
            font.family: "DejaVu Sans"
            font.pixelSize: 17
            font.bold: true
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.5
            text: manager.dynTr + qsTr("Show Cursor")
        }
        Switch {
            objectName: "cursorSwitch"
            Layout.alignment: Qt.AlignRight
            checked: manager.showCursor
            onToggled: manager.showCursor = checked
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.5
            text: manager.dynTr + qsTr("Dark Theme")
        }
        Switch {
            id: themeSwitch
            objectName: "themeSwitch"
            Layout.alignment: Qt.AlignRight
            checked: root.Material.theme === Material.Dark
            onToggled: root.setDarkTheme(checked)
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.5
            text: manager.dynTr + qsTr("Display OFF (min)")
            tip: manager.dynTr + qsTr("The interval, in minutes, after which \n" + "the display will turn off , if in Out-\n"
                                      + "of-Order or Out-of-Service state.")
        }
        SpinBox {
            id: offBox
            objectName: "offBox"
            Layout.fillWidth: true
            editable: true
            from: 0
            to: 86400
            stepSize: 1
            value: manager.displayOffMin
            font.family: "DejaVu Sans"
            onValueModified: manager.displayOffMin = value

            // The keyboard's Enter takes the typed number, as a change of focus does.
            Connections {
                target: offBox.contentItem
                ignoreUnknownSignals: true
                function onAccepted() {
                    var typed = Logic.spinBoxShown(offBox)
                    if (!isNaN(typed))
                        manager.displayOffMin = typed
                    Qt.inputMethod.hide()
                }
            }
        }
    }
}
