import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "SettingsLogic.js" as Logic

// Maintenance PIN entry. The controller checks the PIN; this screen only
// collects it and reacts to the verdict.
Item {
    id: root

    property string pin: ""
    readonly property alias block: block
    readonly property alias shake: shake

    // Handlers the number pad looks up by name.
    function calcNumberPressed(key) {
        pin = Logic.pinAppend(pin, key)
    }
    function customLeftPressed(key) {
        pin = Logic.pinBackspace(pin)
    }
    function customRightPressed(key) {
        pin = ""
    }

    function login() {
        if (pin.length > 0)
            manager.settingsLoginRequest(pin)
    }

    Connections {
        target: manager
        function onSettingsAccessGranted() {
            console.log("[QML] Settings access granted")
            manager.screen = "Settings"
        }
        function onSettingsAccessDenied() {
            console.warn("[QML] Settings access denied")
            root.pin = ""
            shake.restart()
        }
    }

    Column {
        id: block
        objectName: "loginBlock"
        anchors.centerIn: parent
        anchors.verticalCenterOffset: -20
        spacing: 20

        onVisibleChanged: root.pin = ""

        Rectangle {
            objectName: "pinBox"
            width: pad.width
            height: 70
            radius: 4
            color: "#1e1e1e"
            border.color: root.Material.accent
            border.width: 1

            TintedIcon {
                id: lockIcon
                anchors.left: parent.left
                anchors.leftMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                width: 35
                height: 35
                sourceSize: Qt.size(35, 35)
                icon: "qrc:/qml/images/Icons/lock.svg"
                color: "#e7e7e7"
            }

            Label {
                objectName: "pinText"
                anchors.left: lockIcon.right
                anchors.leftMargin: 20
                anchors.right: parent.right
                anchors.rightMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                text: root.pin.length > 0 ? root.pin : manager.dynTr + qsTr("Pin")
                color: root.pin.length > 0 ? root.Material.foreground : "#8f8f8f"
                font.family: "DejaVu Sans"
                font.pixelSize: 30
                font.letterSpacing: root.pin.length > 0 ? 4 : 1
                elide: Text.ElideLeft
            }
        }

        NumberPad {
            id: pad
            objectName: "numberPad"
            language: manager.language
        }

        CustomButton {
            objectName: "loginButton"
            width: pad.width
            height: 70
            radius: 4
            enabled: root.pin.length > 0
            color: enabled ? root.Material.accent : "#5a5a5a"
            textColor: enabled ? "white" : "#a0a0a0"
            textBold: true
            textFontPointSize: 16
            textLetterSpacing: 1.2
            text: manager.dynTr + qsTr("LOGIN")
            onClicked: root.login()
        }

        transform: Translate {
            id: offset
            x: 0
        }

        SequentialAnimation {
            id: shake
            loops: 2
            NumberAnimation {
                target: offset
                property: "x"
                to: 10
                duration: 50
            }
            NumberAnimation {
                target: offset
                property: "x"
                from: 10
                to: -10
                duration: 100
            }
            NumberAnimation {
                target: offset
                property: "x"
                to: 0
                duration: 50
            }
        }
    }
}
