import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "PageChecks.js" as Checks

// Live state of the wired interface, with the way into its configuration.
Flickable {
    id: root

    // The stack the configuration page goes onto; the tab page is not itself
    // on the stack, so the network page hands its own down.
    property var stack: StackView.view
    readonly property var ethernet: network.ethernet
    readonly property var ipv4: ethernet ? ethernet.ipv4 : null

    function text(value) {
        return value === undefined || value === null ? "" : String(value)
    }

    function configure() {
        if (root.stack && root.stack.depth > 0 && root.stack.currentItem.objectName !== "ethernetConfig")
            root.stack.push(Qt.resolvedUrl("EthernetConfig.qml"))
    }

    contentHeight: content.height + configureButton.height + 70
    clip: true
    boundsBehavior: Flickable.StopAtBounds

    GroupBox {
        id: content
        x: 20
        y: 20
        width: root.width - 40
        title: manager.dynTr + qsTr("Connection State")
        font.family: "DejaVu Sans"
        font.pixelSize: 18

        Column {
            width: parent.width

            StatusRow {
                objectName: "ethernetStateRow"
                title: manager.dynTr + qsTr("State")
                value: root.ethernet ? root.text(root.ethernet.state) : ""
                colourName: Checks.connectionStateColour(value)
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
                title: manager.dynTr + qsTr("IPv4 DNS#0")
                value: root.ipv4 ? root.text(root.ipv4.dns0) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("IPv4 DNS#1")
                value: root.ipv4 ? root.text(root.ipv4.dns1) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("MAC")
                value: root.ethernet ? root.text(root.ethernet.mac) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("Interface")
                value: root.ethernet ? root.text(root.ethernet.interface) : ""
            }
            StatusRow {
                title: manager.dynTr + qsTr("State Change Reason")
                value: root.ethernet ? root.text(root.ethernet.reason) : ""
            }
        }
    }

    CustomButton {
        id: configureButton
        objectName: "configureButton"
        anchors.horizontalCenter: parent.horizontalCenter
        y: content.y + content.height + 30
        width: 300
        height: 60
        radius: 4
        color: Material.accent
        textColor: Material.foreground
        textBold: true
        textFontPointSize: 14
        text: manager.dynTr + qsTr("Configure")
        onClicked: root.configure()
    }

    ScrollIndicator.vertical: ScrollIndicator {}
}
