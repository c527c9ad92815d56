import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../controls"

// One entry of the maintenance menu: icon, title with a hint below, arrow.
Item {
    id: root

    signal clicked

    property string title
    property string hint
    property url icon
    readonly property bool down: area.pressed

    opacity: enabled ? 1.0 : 0.4

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop {
                position: 0.0
                color: root.down ? "#222" : "#333"
            }
            GradientStop {
                position: 1.0
                color: "#222"
            }
        }
    }
    Rectangle {
        width: parent.width
        height: 1
        color: "#444"
        visible: !root.down
    }
    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: "#000"
    }

    TintedIcon {
        id: iconImage
        anchors.left: parent.left
        anchors.leftMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        width: parent.height * 0.45
        height: width
        sourceSize: Qt.size(width, height)
        icon: root.icon
        color: "#e7e7e7"
    }

    Column {
        anchors.left: iconImage.right
        anchors.leftMargin: 20
        anchors.right: arrow.left
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter

        Label {
            objectName: "rowTitle"
            width: parent.width
            text: root.title
            font.family: "DejaVu Sans"
            font.pixelSize: root.height * 0.25
            elide: Text.ElideRight
            color: "white"
        }
        Label {
            objectName: "rowHint"
            width: parent.width
            text: root.hint
            font.family: "DejaVu Sans"
            font.pixelSize: root.height * 0.125
            opacity: 0.6
            elide: Text.ElideRight
            color: "white"
        }
    }

    TintedIcon {
        id: arrow
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        width: parent.height * 0.3
        height: width
        sourceSize: Qt.size(width, height)
        icon: "qrc:/qml/images/Icons/arrow-right.svg"
        color: "#e7e7e7"
    }

    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: root.clicked()
    }
}
