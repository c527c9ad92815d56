import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.FreeVirtualKeyboard 1.0
import "../controls"
import "Logic.js" as Logic

// First start: the technician enters the device's serial number.
Item {
    id: root

    readonly property alias serialField: serialField
    readonly property alias confirmation: confirmation
    readonly property alias keyboard: inputPanel
    readonly property bool inputValid: isSerialNumberValid(serialField.text)
    readonly property bool keyboardShown: Qt.inputMethod.visible || inputPanel.active === true

    function isSerialNumberValid(text) {
        return Logic.isSerialNumberValid(text)
    }

    function hideKeyboard() {
        Qt.inputMethod.hide()
        serialField.focus = false
        root.forceActiveFocus()
    }

    // SAVE and the keyboard's Enter both land here; a refused number keeps the
    // page as it is.
    function submit() {
        if (!inputValid)
            return false
        hideKeyboard()
        confirmation.serial = serialField.text
        confirmation.open()
        return true
    }

    onVisibleChanged: {
        if (!visible) {
            confirmation.close()
            hideKeyboard()
        }
    }

    Flickable {
        id: flickable
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        height: root.height - (root.keyboardShown ? inputPanel.height : 0)
        contentWidth: width
        contentHeight: Math.max(height, form.height + 40)
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: form
            anchors.centerIn: parent
            spacing: 20

            Label {
                objectName: "title"
                width: 350
                text: manager.dynTr + qsTr("Enter Serial Number")
                font.family: "DejaVu Sans"
                font.pointSize: 18
                font.bold: true
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
            }

            TextField {
                id: serialField
                objectName: "serialField"
                width: 350
                text: manager.deviceId
                placeholderText: "K00000000"
                horizontalAlignment: Text.AlignHCenter
                font.family: "DejaVu Sans"
                font.pointSize: 18
                inputMethodHints: Qt.ImhUppercaseOnly | Qt.ImhNoPredictiveText
                onAccepted: root.submit()
                onActiveFocusChanged: {
                    if (!activeFocus)
                        Qt.inputMethod.hide()
                }
            }

            Label {
                objectName: "hint"
                width: 350
                visible: !root.inputValid
                text: manager.dynTr + qsTr("Must start with 'C' or 'K' followed by 8 digits")
                color: "#db4a37"
                font.family: "DejaVu Sans"
                font.pointSize: 11
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
            }

            CustomButton {
                objectName: "saveButton"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 300
                height: 60
                radius: 4
                flat: false
                enabled: root.inputValid
                color: root.Material.accent
                textColor: "white"
                textBold: true
                textFontPointSize: 16
                textLetterSpacing: 1.2
                text: manager.dynTr + qsTr("SAVE")
                onClicked: root.submit()
            }
        }
    }

    CustomPopup {
        id: confirmation
        objectName: "confirmation"
        property string serial
        parent: Overlay.overlay
        isDialog: true
        language: manager.language
        text: manager.dynTr + qsTr("Please confirm the serial number") + "\n\n" + serial
        onButtonYesPressed: manager.saveDeviceIdRequest(serial)
    }

    InputPanel {
        id: inputPanel
        objectName: "inputPanel"
        z: 99
        width: root.width
        height: 250
        y: root.keyboardShown ? root.height - height : root.height
        visible: y < root.height

        Behavior on y {
            enabled: root.visible
            NumberAnimation {
                duration: 150
                easing.type: Easing.InOutQuad
            }
        }
    }
}
