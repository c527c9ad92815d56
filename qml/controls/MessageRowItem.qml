import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// One entry of a message list: title, optional time, and a message that shows
// when the row is expanded.
Item {
    id: root

    signal clicked
    signal pressed
    signal released
    signal deleteRequest

    property string title
    property string message
    property string time
    property bool isExpandable: false
    property bool expanded: false
    property bool enableColorAnimation: false
    // The trash icon shows only where a list acts on deleteRequest.
    property bool deletable: true
    readonly property bool dark: Material.theme === Material.Dark
    property color textColor: dark ? "white" : "#43496a"
    property color decorationColor: Material.accent
    property color pressedColor: Material.accent
    property color backgroundColor: dark ? "black" : "white"

    width: parent ? parent.width : 480
    height: Math.min(150, titleLabel.height + 30 + (expanded ? messageLabel.height + 30 : 0))
    clip: true

    Rectangle {
        id: background
        anchors.fill: parent
        color: root.backgroundColor

        ColorAnimation on color {
            id: fade
            running: false
            to: root.backgroundColor
            duration: 1000
        }
    }

    Rectangle {
        id: decoration
        width: 16
        height: parent.height
        radius: 4
        color: root.decorationColor
    }

    Item {
        id: textArea
        anchors.left: decoration.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom

        Text {
            id: titleLabel
            anchors.left: parent.left
            anchors.leftMargin: 14
            anchors.right: timeRow.visible ? timeRow.left : parent.right
            anchors.rightMargin: 10
            y: 15
            text: root.title
            color: root.textColor
            font.family: "Roboto"
            font.pixelSize: 18
            font.weight: root.expanded ? Font.Bold : Font.Medium
            font.letterSpacing: 0.8
            opacity: root.expanded ? 1.0 : 0.75
            elide: root.expanded ? Text.ElideNone : Text.ElideRight
            wrapMode: root.expanded ? Text.WordWrap : Text.NoWrap
            maximumLineCount: root.expanded ? 4 : 1
        }

        Text {
            id: messageLabel
            visible: root.expanded
            anchors.left: titleLabel.left
            anchors.right: parent.right
            anchors.rightMargin: 50
            anchors.top: titleLabel.bottom
            anchors.topMargin: 15
            text: root.message
            color: root.textColor
            font.family: "DejaVu Sans"
            font.pixelSize: 18
            wrapMode: Text.WordWrap
        }

        Row {
            id: timeRow
            visible: root.time !== ""
            anchors.right: parent.right
            anchors.rightMargin: 12
            y: 13
            spacing: 6

            Item {
                width: 16
                height: 16
                anchors.verticalCenter: parent.verticalCenter

                TintedIcon {
                    anchors.fill: parent
                    icon: "qrc:/qml/images/Icons/clock.svg"
                    sourceSize: Qt.size(16, 16)
                    color: root.textColor
                }
            }

            Text {
                text: root.time
                color: root.textColor
                font.family: "Roboto"
                font.pixelSize: 14
            }
        }
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onPressed: root.pressed()
        onReleased: root.released()
        onExited: {
            if (pressed)
                root.released()
        }
        onClicked: {
            if (root.enableColorAnimation) {
                fade.stop()
                background.color = root.pressedColor
                fade.start()
            }
            if (root.isExpandable)
                root.expanded = !root.expanded
            root.clicked()
        }
    }

    Item {
        objectName: "deleteButton"
        visible: root.expanded && root.deletable
        width: 26
        height: 26
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 12

        TintedIcon {
            anchors.fill: parent
            icon: "qrc:/qml/images/Icons/trash.svg"
            sourceSize: Qt.size(26, 26)
            color: root.dark ? "white" : "#43496a"
        }

        MouseArea {
            anchors.fill: parent
            anchors.margins: -8
            onClicked: root.deleteRequest()
        }
    }
}
