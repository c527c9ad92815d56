import QtQuick 2.15
import "../controls"

// Layout shared by the result screens: icon, main label, second line,
// separator and a lower part supplied by the screen.
Item {
    id: root

    property url icon
    property size iconSize: Qt.size(250, 250)
    property color iconColor: "#41b987"
    property string title
    property real titleSize: 32
    property real titleHeight: 100
    property real titleMargin: 0
    property string subtitle
    property bool hasSubtitle: true
    property real subtitleSize: 14
    property bool hasSeparator: true
    default property alias lower: lowerArea.data

    Column {
        id: column
        width: parent.width

        ImageBox {
            objectName: "resultIcon"
            width: parent.width
            icon: root.icon
            iconSize: root.iconSize
            iconColor: root.iconColor
        }

        TextBox {
            objectName: "resultTitle"
            width: parent.width
            height: root.titleHeight
            text: root.title
            textSize: root.titleSize
            textBold: true
            leftMargin: root.titleMargin
            rightMargin: root.titleMargin
        }

        TextBox {
            objectName: "resultSubtitle"
            visible: root.hasSubtitle
            width: parent.width
            height: 100
            leftMargin: 20
            rightMargin: 20
            text: root.subtitle
            textSize: root.subtitleSize
        }

        Item {
            visible: root.hasSeparator
            width: parent.width
            height: 10

            Rectangle {
                anchors.centerIn: parent
                width: root.width - 70
                height: 4
                radius: 4
                color: "white"
            }
        }

        Item {
            id: lowerArea
            width: parent.width
            height: childrenRect.height
        }
    }
}
