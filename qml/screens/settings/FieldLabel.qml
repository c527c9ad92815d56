import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// Label of a setting. With a tip, a tap on it shows the explanation.
Label {
    id: root

    property string tip

    font.family: "DejaVu Sans"
    font.pixelSize: 17
    wrapMode: Text.WordWrap
    verticalAlignment: Text.AlignVCenter
    rightPadding: tip.length > 0 ? 26 : 0

    Rectangle {
        visible: root.tip.length > 0
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 20
        height: 20
        radius: 10
        color: "transparent"
        border.color: root.Material.accent
        border.width: 1.5

        Text {
            anchors.centerIn: parent
            text: "i"
            color: root.Material.accent
            font.family: "DejaVu Sans"
            font.pixelSize: 13
            font.bold: true
        }
    }

    MouseArea {
        id: area
        anchors.fill: parent
        enabled: root.tip.length > 0
        onClicked: tipBox.visible = !tipBox.visible
    }

    ToolTip {
        id: tipBox
        objectName: "tip"
        text: root.tip
        timeout: 6000
        font.family: "DejaVu Sans"
        font.pixelSize: 15
    }
}
