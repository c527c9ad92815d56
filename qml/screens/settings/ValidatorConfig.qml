import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../../controls"
import "SettingsLogic.js" as Logic

// Validator settings and the two controller settings that go with them.
// Nothing is written until Save.
SettingsPage {
    id: root

    readonly property var config: validatorManager.config
    readonly property var stored: ({
                                       "obuUrl": config ? String(config.obuUrl) : "",
                                       "passbackSecs": config ? config.passbackSecs : 0,
                                       "passbackQrEnabled": config ? config.passbackQrEnabled : false,
                                       "shutdownDelaySec": manager.shutdownDelaySec,
                                       "showErrorDesc": manager.showErrorDesc
                                   })
    readonly property var edited: ({
                                       "obuUrl": urlField.text,
                                       "passbackSecs": passbackBox.value,
                                       "passbackQrEnabled": qrSwitch.checked,
                                       "shutdownDelaySec": shutdownBox.value,
                                       "showErrorDesc": errorDescSwitch.checked
                                   })
    readonly property bool changed: Logic.validatorConfigDiffers(stored, edited)
    readonly property alias urlField: urlField
    readonly property alias passbackBox: passbackBox
    readonly property alias shutdownBox: shutdownBox
    readonly property alias qrSwitch: qrSwitch
    readonly property alias errorDescSwitch: errorDescSwitch

    function save() {
        if (!changed)
            return
        Qt.inputMethod.hide()
        config.obuUrl = urlField.text
        config.passbackSecs = passbackBox.value
        config.passbackQrEnabled = qrSwitch.checked
        validatorManager.saveConfig()
        manager.shutdownDelaySec = shutdownBox.value
        manager.showErrorDesc = errorDescSwitch.checked
        StackView.view.pop()
    }

    function back() {
        Qt.inputMethod.hide()
        validatorManager.refreshConfig()
        StackView.view.pop()
    }

    GridLayout {
        width: parent.width
        columns: 2
        columnSpacing: 12
        rowSpacing: 10

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: manager.dynTr + qsTr("OBC URL")
        }
        TextField {
            id: urlField
            objectName: "urlField"
            Layout.fillWidth: true
            text: root.stored.obuUrl
            font.family: "DejaVu Sans"
            font.pixelSize: 16
            inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoPredictiveText
            onAccepted: Qt.inputMethod.hide()
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: manager.dynTr + qsTr("Passback Time (sec)")
        }
        SpinBox {
            id: passbackBox
            objectName: "passbackBox"
            Layout.fillWidth: true
            editable: true
            from: 0
            to: 86400
            stepSize: 1
            value: root.stored.passbackSecs
            font.family: "DejaVu Sans"
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: manager.dynTr + qsTr("Shutdown Delay (sec)")
            tip: manager.dynTr + qsTr("The delay, in seconds, after which the system\n"
                                      + "will start the shutdown sequence, providing that\n"
                                      + "the ignition has been turned off (max=900 sec).")
        }
        SpinBox {
            id: shutdownBox
            objectName: "shutdownBox"
            Layout.fillWidth: true
            editable: true
            from: 5
            to: 900
            stepSize: 5
            value: root.stored.shutdownDelaySec
            font.family: "DejaVu Sans"
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: manager.dynTr + qsTr("QR Passback Enabled")
        }
        Switch {
            id: qrSwitch
            objectName: "qrSwitch"
            Layout.alignment: Qt.AlignRight
            checked: root.stored.passbackQrEnabled
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: manager.dynTr + qsTr("Show Error Description")
            tip: manager.dynTr + qsTr("If enabled, a full error description will\n"
                                      + "be displayed in the 'Out-of-Order' screen\n" + "instead of just an error code.")
        }
        Switch {
            id: errorDescSwitch
            objectName: "errorDescSwitch"
            Layout.alignment: Qt.AlignRight
            checked: root.stored.showErrorDesc
        }
    }

    Row {
        width: parent.width
        spacing: 20
        topPadding: 20

        CustomButton {
            objectName: "backButton"
            width: (parent.width - parent.spacing) / 2
            height: 60
            radius: 4
            flat: false
            color: "#5a5a5a"
            textColor: "white"
            textBold: true
            textFontPointSize: 14
            text: manager.dynTr + qsTr("Back")
            onClicked: root.back()
        }
        CustomButton {
            objectName: "saveButton"
            width: (parent.width - parent.spacing) / 2
            height: 60
            radius: 4
            flat: false
            enabled: root.changed
            color: root.Material.accent
            textColor: "white"
            textBold: true
            textFontPointSize: 14
            text: manager.dynTr + qsTr("Save")
            onClicked: root.save()
        }
    }
}
