import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "PageChecks.js" as Checks

// The primary connection as the network service reports it.
Flickable {
    id: root

    readonly property var primary: network.primaryConnection
    readonly property var ipv4: primary ? primary.ipv4 : null

    function text(value) {
        return value === undefined || value === null ? "" : String(value)
    }

    contentHeight: content.height + 40
    clip: true
    boundsBehavior: Flickable.StopAtBounds

    GroupBox {
        id: content
        x: 20
        y: 20
        width: root.width - 40
        title: manager.dynTr + qsTr("Primary Connection")
        font.family: "DejaVu Sans"
        font.pixelSize: 18

        Column {
            width: parent.width

            StatusRow {
                objectName: "connectionStateRow"
                title: manager.dynTr + qsTr("Connection State")
                value: root.text(network.connectionState)
                colourName: Checks.connectionStateColour(value)
            }
            StatusRow {
                objectName: "connectivityRow"
                title: manager.dynTr + qsTr("Connectivity")
                value: root.text(network.connectivity)
                colourName: Checks.connectivityColour(value)
            }
            StatusRow {
                title: manager.dynTr + qsTr("Hostname")
                value: root.text(network.hostname)
            }
            StatusRow {
                title: manager.dynTr + qsTr("Connection Type")
                value: root.primary ? root.text(root.primary.type) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("Interface")
                value: root.primary ? root.text(root.primary.interface) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("IPv4 Address")
                value: root.ipv4 ? root.text(root.ipv4.address) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("IPv4 Netmask")
                value: root.ipv4 ? root.text(root.ipv4.mask) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("IPv4 Gateway")
                value: root.ipv4 ? root.text(root.ipv4.gateway) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("IPv4 DNS")
                value: root.ipv4 ? root.text(root.ipv4.dns0) : ""
            }
        }
    }

    ScrollIndicator.vertical: ScrollIndicator {}
}
