import QtQuick 2.15
import QtGraphicalEffects 1.0

// A monochrome icon tinted at run time, centred in a box as wide as its layout.
Item {
    id: root

    property url icon
    property size iconSize: Qt.size(250, 250)
    property color iconColor: "#41b987"
    readonly property alias status: image.status

    implicitWidth: iconSize.width
    implicitHeight: iconSize.height
    height: iconSize.height

    Image {
        id: image
        anchors.centerIn: parent
        width: root.iconSize.width
        height: root.iconSize.height
        source: root.icon
        sourceSize: root.iconSize
        fillMode: Image.PreserveAspectFit
        asynchronous: true
        smooth: true
        visible: false
    }

    ColorOverlay {
        anchors.fill: image
        source: image
        color: root.iconColor
        cached: true
    }
}
