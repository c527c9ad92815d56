import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// A circular button with a centred icon: a tinted SVG, or a picture shown as it is.
Item {
    id: root

    signal clicked
    signal pressAndHold

    property real radius: 25
    property color buttonColor: Material.accent
    property url icon
    property real iconSize: 30
    property color iconColor: "#43496a"
    property bool pngImage: false
    property bool dropShadow: true
    readonly property bool down: mouseArea.pressed

    implicitWidth: 2 * radius
    implicitHeight: 2 * radius
    width: implicitWidth
    height: implicitHeight
    scale: down ? 0.8 : 1.0

    Behavior on scale {
        NumberAnimation {
            duration: 80
        }
    }

    ButtonShadow {
        anchors.fill: circle
        active: root.dropShadow
        visible: !root.down
        source: circle
        radius: root.radius
    }

    Rectangle {
        id: circle
        anchors.fill: parent
        radius: root.radius
        color: root.buttonColor
    }

    Image {
        anchors.centerIn: parent
        width: root.iconSize
        height: root.iconSize
        sourceSize: Qt.size(root.iconSize, root.iconSize)
        source: root.pngImage ? root.icon : ""
        fillMode: Image.PreserveAspectFit
        smooth: true
        visible: root.pngImage
    }

    TintedIcon {
        anchors.centerIn: parent
        width: root.iconSize
        height: root.iconSize
        sourceSize: Qt.size(root.iconSize, root.iconSize)
        icon: root.pngImage ? "" : root.icon
        color: root.iconColor
        fillMode: Image.PreserveAspectFit
        visible: !root.pngImage
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: root.clicked()
        onPressAndHold: root.pressAndHold()
    }
}
