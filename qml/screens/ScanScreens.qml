import QtQuick 2.15
import QtQuick.Controls 2.15

// Idle screen: the card and the ticket animations, one after the other.
Item {
    id: root

    readonly property var lastFrames: [6, 8]
    property int mode: 0
    property int frame: 0
    readonly property int lastFrame: lastFrames[mode]
    // One expression of mode and frame, so a mode switch never asks for a
    // frame of the other animation on the way.
    readonly property string frameUrl: frameSource(mode, frame > lastFrames[mode] ? 0 : frame)
    readonly property int switchInterval: manager.animSwitchSec

    function frameSource(mode, frame) {
        return "qrc:/qml/images/" + (mode === 0 ? "NFC/" : "Barcode/") + frame + ".png"
    }

    // With a switch interval each animation loops until the switch timer fires;
    // without one, reaching the last frame hands over to the other animation.
    function step() {
        if (switchInterval > 0) {
            frame = frame >= lastFrame ? 0 : frame + 1
        } else if (frame + 1 >= lastFrame) {
            frame = 0
            mode = 1 - mode
        } else {
            frame++
        }
    }

    // Both timers stop while another screen is shown: a frame changed under
    // it still costs the window a whole redraw, which a result arriving at
    // that moment would wait behind.
    Timer {
        id: frameTimer
        interval: 300
        repeat: true
        running: root.visible
        onTriggered: root.step()
    }

    Timer {
        id: switchTimer
        interval: Math.max(1, root.switchInterval)
        repeat: true
        running: root.visible && root.switchInterval > 0
        onTriggered: {
            root.frame = 0
            root.mode = 1 - root.mode
        }
    }

    // Every frame stays ready: the image cache keeps only a couple of unused
    // pictures, so without these holders each step would decode a PNG again
    // on the GUI thread. They load in the background once the screen is first
    // shown, off the start-up path, and once shown a frame is held as its
    // texture alone (see the "texture" image provider).
    property bool framesWanted: false
    onVisibleChanged: {
        if (visible)
            framesWanted = true
    }

    Repeater {
        model: root.framesWanted ? root.lastFrames[0] + root.lastFrames[1] + 2 : 0

        Image {
            visible: false
            asynchronous: true
            source: "image://texture/" + (index <= root.lastFrames[0] ? root.frameSource(0, index) : root.frameSource(1, index - root.lastFrames[0] - 1))
        }
    }

    Image {
        objectName: "animation"
        anchors.centerIn: parent
        anchors.verticalCenterOffset: 10
        // The frames are opaque, with the window's backdrop laid in where
        // they show it, so they must stay exactly here (the capture test
        // holds them to it). Placed on whole pixels at their own size:
        // filtering would change nothing but the cost of each frame.
        smooth: false
        source: "image://texture/" + root.frameUrl
    }

    Label {
        objectName: "scanText"
        anchors.top: parent.top
        anchors.topMargin: 150
        anchors.right: parent.right
        anchors.rightMargin: 20
        width: 150
        height: 170
        text: root.mode === 0 ? manager.dynTr + qsTr("SCAN\nYOUR CARD") : manager.dynTr + qsTr("SCAN\nYOUR TICKET")
        font.family: "DejaVu Sans"
        font.pointSize: 14
        font.bold: true
        horizontalAlignment: Text.AlignRight
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WordWrap
        fontSizeMode: Text.HorizontalFit
        minimumPointSize: 9
    }
}
