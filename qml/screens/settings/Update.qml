import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "PageChecks.js" as Checks

// Software update: what is installed, what waits, and the progress of a
// download or installation.
Item {
    id: root

    readonly property var update: manager.update
    readonly property string status: update ? String(update.status) : ""

    function version(value) {
        var text = value === undefined || value === null ? "" : String(value)
        return text !== "" ? text : qsTr("None")
    }

    GroupBox {
        id: content
        x: 20
        y: 20
        width: root.width - 40
        title: manager.dynTr + qsTr("Software Update")
        font.family: "DejaVu Sans"
        font.pixelSize: 18

        Column {
            width: parent.width
            spacing: 4

            StatusRow {
                objectName: "statusRow"
                title: manager.dynTr + qsTr("Status")
                value: root.status
                colourName: Checks.updateStatusColour(root.status)
            }
            StatusRow {
                objectName: "currentRow"
                title: manager.dynTr + qsTr("Current Version")
                value: manager.dynTr + root.version(root.update ? root.update.current : "")
            }
            StatusRow {
                objectName: "pendingRow"
                title: manager.dynTr + qsTr("Pending Version")
                value: manager.dynTr + root.version(root.update ? root.update.pending : "")
            }
            StatusRow {
                title: manager.dynTr + qsTr("Progress")
                value: (root.update ? root.update.progressPercent : 0) + " %"
            }
            ProgressBar {
                objectName: "progressBar"
                width: parent.width
                from: 0
                to: 100
                value: root.update ? root.update.progressPercent : 0
            }
            Label {
                objectName: "progressMessage"
                width: parent.width
                topPadding: 6
                text: root.update ? String(root.update.progressMessage) : ""
                font.family: "DejaVu Sans"
                font.pixelSize: 15
                opacity: 0.75
                wrapMode: Text.WordWrap
            }
        }
    }

    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        y: content.y + content.height + 30
        spacing: 40

        CustomButton {
            objectName: "checkButton"
            width: 180
            height: 60
            radius: 4
            color: Material.accent
            textColor: Material.foreground
            textBold: true
            textFontPointSize: 14
            text: manager.dynTr + qsTr("Check")
            onClicked: root.update.check()
        }
        CustomButton {
            objectName: "installButton"
            width: 180
            height: 60
            radius: 4
            enabled: Checks.canInstall(root.status)
            color: enabled ? Material.accent : Material.color(Material.Grey, Material.Shade700)
            textColor: Material.foreground
            textOpacity: enabled ? 1.0 : 0.5
            textBold: true
            textFontPointSize: 14
            text: manager.dynTr + qsTr("Install")
            onClicked: root.update.install()
        }
    }
}
