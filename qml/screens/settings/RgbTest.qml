import QtQuick 2.15
import QtQuick.Controls 2.15

// Full-screen colour test of the display: red, then green, then blue, one
// tap each; the tap on blue ends it.
Popup {
    id: root

    signal finished

    readonly property var colours: ["red", "#00ff00", "blue"]
    property int step: 0

    function start() {
        step = 0
        open()
    }

    function tap() {
        if (step < colours.length - 1) {
            ++step
            return
        }
        close()
        finished()
    }

    parent: Overlay.overlay
    x: 0
    y: 0
    width: parent ? parent.width : 480
    height: parent ? parent.height : 800
    padding: 0
    modal: true
    closePolicy: Popup.NoAutoClose
    enter: null
    exit: null
    Overlay.modal: Item {}

    background: Rectangle {
        color: root.colours[root.step]
    }

    contentItem: MouseArea {
        onClicked: root.tap()
    }
}
