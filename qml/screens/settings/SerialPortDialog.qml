import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"

// Choice of the serial port and flow control of the loopback test. Nothing
// is stored until Ok; Cancel puts the choices back.
Popup {
    id: root
    objectName: "serialPortDialog"

    property var diagnostics
    readonly property var ports: diagnostics ? diagnostics.serialPorts : []
    property alias portBox: portBox
    property alias flowBox: flowBox

    function text(value) {
        return value === undefined || value === null ? "" : String(value)
    }

    function reset() {
        if (!diagnostics)
            return
        var index = ports.indexOf(diagnostics.serialPort)
        if (index >= 0)
            portBox.currentIndex = index
        flowBox.currentIndex = diagnostics.serialFlowCtrl
    }

    function accept() {
        if (diagnostics) {
            if (portBox.currentIndex >= 0)
                diagnostics.serialPort = portBox.currentText
            diagnostics.serialFlowCtrl = flowBox.currentIndex
        }
        close()
    }

    function cancel() {
        reset()
        close()
    }

    modal: true
    focus: true
    closePolicy: Popup.NoAutoClose
    width: 420
    height: 330
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: 16
    onAboutToShow: reset()
    onPortsChanged: reset()

    background: Rectangle {
        color: root.Material.background
        border.color: root.Material.accent
        border.width: 2
        radius: 4
    }

    contentItem: Column {
        spacing: 10

        Label {
            width: parent.width
            text: manager.dynTr + qsTr("Serial Port Settings")
            font.pixelSize: 20
            font.bold: true
            horizontalAlignment: Text.AlignHCenter
        }

        Row {
            spacing: 10
            Label {
                width: 120
                anchors.verticalCenter: parent.verticalCenter
                text: manager.dynTr + qsTr("Serial Port:")
                font.pixelSize: 16
            }
            ComboBox {
                id: portBox
                objectName: "portBox"
                width: 250
                model: root.ports
            }
        }

        Row {
            spacing: 10
            Label {
                width: 120
                anchors.verticalCenter: parent.verticalCenter
                text: manager.dynTr + qsTr("Flow Ctrl:")
                font.pixelSize: 16
            }
            ComboBox {
                id: flowBox
                objectName: "flowBox"
                width: 250
                model: ["NONE", "RTS/CTS", "XON/XOFF"]
            }
        }

        Label {
            objectName: "portDescription"
            width: parent.width
            height: 24
            text: root.diagnostics && portBox.currentText !== "" ? root.text(root.diagnostics.serialPortDescr(
                                                                                  portBox.currentText)) : ""
            font.pixelSize: 14
            opacity: 0.75
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignHCenter
        }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 40

            CustomButton {
                objectName: "okButton"
                width: 140
                height: 46
                radius: 4
                color: Material.accent
                textColor: Material.foreground
                textBold: true
                text: manager.dynTr + qsTr("Ok")
                onClicked: root.accept()
            }
            CustomButton {
                objectName: "cancelButton"
                width: 140
                height: 46
                radius: 4
                color: Material.color(Material.Grey, Material.Shade700)
                textColor: Material.foreground
                textBold: true
                text: manager.dynTr + qsTr("Cancel")
                onClicked: root.cancel()
            }
        }
    }
}
