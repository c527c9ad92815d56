import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// Network information: the primary connection and the wired interface, one tab each.
Item {
    id: root

    property alias currentIndex: tabs.currentIndex

    TabBar {
        id: tabs
        width: parent.width
        currentIndex: pages.currentIndex
        font.family: "DejaVu Sans"
        font.pixelSize: 18

        TabButton {
            objectName: "generalTab"
            text: manager.dynTr + qsTr("General")
        }
        TabButton {
            objectName: "ethernetTab"
            text: manager.dynTr + qsTr("Ethernet")
        }
    }

    SwipeView {
        id: pages
        anchors.top: tabs.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        currentIndex: tabs.currentIndex
        clip: true

        // A tab is drawn only while some of it is on view.
        NetworkPri {
            objectName: "networkPriPage"
            visible: Math.abs(x - pages.contentItem.contentX) < pages.width
        }

        Ethernet {
            objectName: "ethernetPage"
            visible: Math.abs(x - pages.contentItem.contentX) < pages.width
            stack: root.StackView.view
        }
    }
}
