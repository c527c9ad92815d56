import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root

    BusyIndicator {
        id: indicator
        objectName: "busyIndicator"
        width: Math.min(root.width, root.height) / 5
        height: width
        anchors.horizontalCenter: parent.horizontalCenter
        y: 200
        running: root.visible
    }

    Label {
        objectName: "busyMessage"
        anchors.top: indicator.bottom
        anchors.topMargin: 30
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 30
        anchors.rightMargin: 30
        text: manager.message
        font.family: "DejaVu Sans"
        font.pointSize: 22
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
    }
}
