import QtQuick 2.15

// A monochrome icon in one colour, centred in a box as wide as its layout.
// Decoded off the GUI thread, already in its colour: a result screen's first
// frame draws one plain image.
Item {
    id: root

    property url icon
    property size iconSize: Qt.size(250, 250)
    property color iconColor: "#41b987"
    readonly property alias status: image.status

    implicitWidth: iconSize.width
    implicitHeight: iconSize.height
    height: iconSize.height

    TintedIcon {
        id: image
        anchors.centerIn: parent
        width: root.iconSize.width
        height: root.iconSize.height
        icon: root.icon
        color: root.iconColor
        sourceSize: root.iconSize
        fillMode: Image.PreserveAspectFit
        asynchronous: true
    }
}
