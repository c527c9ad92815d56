import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "SettingsLogic.js" as Logic

// What the validator service and its readers report about themselves.
SettingsPage {
    id: root

    readonly property var rfid: validatorManager.rfid
    readonly property var barcode: validatorManager.barcode
    readonly property var sam: rfid ? rfid.sam : null
    readonly property color statusColor: {
        switch (Logic.validatorStatusRole(validatorManager.status)) {
        case "red":
            return Material.color(Material.Red)
        case "amber":
            return Material.color(Material.Amber)
        default:
            return Material.color(Material.Green)
        }
    }

    function text(value) {
        return value === undefined || value === null ? "" : String(value)
    }
    function joined(first, second) {
        return (text(first) + " " + text(second)).trim()
    }

    SettingsGroup {
        title: manager.dynTr + qsTr("Validator")
        InfoRow {
            title: manager.dynTr + qsTr("Serial Number")
            value: manager.deviceId
        }
        InfoRow {
            title: manager.dynTr + qsTr("Pole ID")
            value: root.text(board.poleId)
        }
        InfoRow {
            title: manager.dynTr + qsTr("Vehicle")
            value: root.text(validatorManager.vehicle)
        }
        InfoRow {
            title: manager.dynTr + qsTr("Version")
            value: root.text(validatorManager.version)
        }
        InfoRow {
            objectName: "statusRow"
            title: manager.dynTr + qsTr("Status")
            value: root.text(validatorManager.status)
            valueColor: root.statusColor
        }
        InfoRow {
            objectName: "reasonRow"
            title: manager.dynTr + qsTr("Reason")
            value: root.text(validatorManager.reason)
            valueColor: root.statusColor
        }
    }

    SettingsGroup {
        title: manager.dynTr + qsTr("RFID")
        InfoRow {
            title: manager.dynTr + qsTr("Firmware")
            value: root.rfid ? root.text(root.rfid.firmware) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Model")
            value: root.rfid ? root.joined(root.rfid.model, root.rfid.manufacturer) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("UID")
            value: root.rfid ? root.text(root.rfid.deviceUid) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("State")
            value: root.rfid ? root.text(root.rfid.state) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Error")
            value: root.rfid ? root.text(root.rfid.error) : ""
        }
    }

    SettingsGroup {
        title: manager.dynTr + qsTr("Barcode")
        InfoRow {
            title: manager.dynTr + qsTr("Firmware")
            value: root.barcode ? root.text(root.barcode.firmware) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Model")
            value: root.barcode ? root.joined(root.barcode.model, root.barcode.manufacturer) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Active")
            value: root.barcode ? root.text(root.barcode.active) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Enabled")
            value: root.barcode ? root.text(root.barcode.enabled) : ""
        }
    }

    SettingsGroup {
        title: manager.dynTr + qsTr("SAM")
        InfoRow {
            title: manager.dynTr + qsTr("Slot")
            value: root.sam ? root.text(root.sam.slot) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Name")
            value: root.sam ? root.text(root.sam.name) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Version")
            value: root.sam ? root.text(root.sam.version) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("UID")
            value: root.sam ? root.text(root.sam.uid) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Mode")
            value: root.sam ? root.text(root.sam.mode) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Unlocked")
            value: root.sam ? root.text(root.sam.unlocked) : ""
        }
        InfoRow {
            title: manager.dynTr + qsTr("Production")
            value: root.sam && root.sam.production ? Qt.formatDate(root.sam.production, "yyyy-MM-dd") : ""
        }
    }

    CustomButton {
        objectName: "configureButton"
        width: parent.width
        height: 60
        radius: 4
        flat: false
        color: root.Material.accent
        textColor: "white"
        textBold: true
        textFontPointSize: 14
        text: manager.dynTr + qsTr("Configure")
        onClicked: root.StackView.view.push("ValidatorConfig.qml")
    }
}
