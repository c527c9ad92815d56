import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import QtQuick.Extras 1.4
import "../../controls"
import "SettingsLogic.js" as Logic

// Language, formats, time zone and network time.
SettingsPage {
    id: root

    readonly property var locales: ["en_US", "en_IE", "el_GR"]
    readonly property var clock: manager.clock
    readonly property var currentLocale: Qt.locale(manager.language)
    property date now: new Date()
    readonly property alias localeBox: localeBox
    readonly property alias timezoneBox: timezoneBox
    readonly property alias ntpServerField: ntpServerField
    readonly property alias ntpSwitch: ntpSwitch

    // Reading the clock's zone runs a system command that blocks for up to a
    // second, so it is read once here and again after each change.
    property string timezone: ""
    // The command's list ends in an empty entry; that is no zone to offer.
    readonly property var timezones: clock ? clock.timezones.filter(function (zone) {
        return zone !== ""
    }) : []

    function readTimezone() {
        timezone = clock ? clock.timezone : ""
        // A choice the system did not take shows the zone in effect again.
        timezoneBox.currentIndex = timezones.indexOf(timezone)
    }

    Component.onCompleted: {
        if (!clock)
            return
        clock.refresh()
        readTimezone()
    }

    Connections {
        target: root.clock
        function onTimezoneChanged() {
            root.readTimezone()
        }
    }

    Timer {
        interval: 1000
        repeat: true
        running: true
        onTriggered: root.now = new Date()
    }

    GridLayout {
        width: parent.width
        columns: 2
        columnSpacing: 12
        rowSpacing: 10

        FieldLabel {
            Layout.preferredWidth: root.innerWidth / 3
            text: manager.dynTr + qsTr("Locale")
        }
        ComboBox {
            id: localeBox
            objectName: "localeBox"
            Layout.fillWidth: true
            model: root.locales
            currentIndex: root.locales.indexOf(manager.language)
            font.family: "DejaVu Sans"
            onActivated: manager.language = root.locales[index]
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth / 3
            text: manager.dynTr + qsTr("Language")
        }
        Row {
            Layout.fillWidth: true
            spacing: 10
            Image {
                objectName: "languageFlag"
                anchors.verticalCenter: parent.verticalCenter
                width: 36
                height: 36
                fillMode: Image.PreserveAspectFit
                source: Logic.languageFlag(manager.language)
                visible: source.toString() !== ""
            }
            Label {
                objectName: "languageName"
                anchors.verticalCenter: parent.verticalCenter
                text: root.currentLocale.nativeLanguageName
                font.family: "DejaVu Sans"
                font.pixelSize: 17
                font.bold: true
            }
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth / 3
            text: manager.dynTr + qsTr("Currency Format")
        }
        Label {
            objectName: "currencyText"
            Layout.fillWidth: true
            text: Number(0.99).toLocaleCurrencyString(root.currentLocale)
            font.family: "DejaVu Sans"
            font.pixelSize: 17
            font.bold: true
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth / 3
            text: manager.dynTr + qsTr("Time Format")
        }
        Label {
            objectName: "timeText"
            Layout.fillWidth: true
            text: root.now.toLocaleString(root.currentLocale, "d MMM yy, hh:mm:ss t")
            font.family: "DejaVu Sans"
            font.pixelSize: 17
            font.bold: true
            wrapMode: Text.WordWrap
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth / 3
            text: manager.dynTr + qsTr("Timezone")
        }
        ComboBox {
            id: timezoneBox
            objectName: "timezoneBox"
            Layout.fillWidth: true
            model: root.timezones
            displayText: currentIndex < 0 ? root.timezone : currentText
            font.family: "DejaVu Sans"
            onActivated: root.clock.timezone = root.timezones[index]
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth / 3
            text: manager.dynTr + qsTr("NTP server")
        }
        TextField {
            id: ntpServerField
            objectName: "ntpServerField"
            Layout.fillWidth: true
            text: root.clock ? root.clock.ntpServer : ""
            font.family: "DejaVu Sans"
            font.pixelSize: 16
            inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoPredictiveText
            onEditingFinished: {
                if (root.clock && text !== root.clock.ntpServer)
                    root.clock.ntpServer = text
            }
            onAccepted: Qt.inputMethod.hide()
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth / 3
            text: manager.dynTr + qsTr("NTP Active")
        }
        Switch {
            id: ntpSwitch
            objectName: "ntpSwitch"
            checked: root.clock ? root.clock.ntpEnabled : false
            onToggled: root.clock.ntpEnabled = checked
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth / 3
            Layout.preferredHeight: 40
            text: manager.dynTr + qsTr("NTP Synced")
        }
        StatusIndicator {
            objectName: "ntpSyncedLamp"
            Layout.leftMargin: 12
            color: "#41b987"
            active: root.clock ? root.clock.ntpSynced : false
        }
    }

    CustomButton {
        objectName: "ntpSyncButton"
        width: parent.width
        height: 60
        radius: 4
        flat: false
        color: root.Material.accent
        textColor: "white"
        textBold: true
        textFontPointSize: 14
        text: manager.dynTr + qsTr("NTP SYNC")
        onClicked: root.clock.ntpSync()
    }
}
