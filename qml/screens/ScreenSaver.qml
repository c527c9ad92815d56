import QtQuick 2.15

// Black stays underneath, so a background setting that is not a colour name
// still hides the passenger screens.
Rectangle {
    id: root

    color: "black"

    Rectangle {
        anchors.fill: parent
        color: manager.screenSaverBg
    }

    Image {
        objectName: "screenSaverImage"
        anchors.centerIn: parent
        width: 300
        height: 300
        sourceSize: Qt.size(300, 300)
        fillMode: Image.PreserveAspectFit
        source: manager.screenSaverImg
    }
}
