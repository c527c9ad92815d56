import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQml.Models 2.15
import "FrameParts.js" as FrameParts

// Idle screen: the card and the ticket animations, one after the other.
Item {
    id: root

    readonly property var lastFrames: [6, 8]
    property int mode: 0
    property int frame: 0
    readonly property int lastFrame: lastFrames[mode]
    // The frame shown, by the name of its own picture (a repeated frame's
    // part is drawn from an earlier one's: see partUrl). One expression of
    // mode and frame, so a mode switch never names a frame of the other
    // animation on the way.
    readonly property string frameUrl: frameSource(mode, frame > lastFrames[mode] ? 0 : frame)
    readonly property int switchInterval: manager.animSwitchSec

    function frameSource(mode, frame) {
        return "qrc:/qml/images/" + (mode === 0 ? "NFC/" : "Barcode/") + frame + ".png"
    }

    // Each frame is shown as its animation's first with the part where it
    // differs laid over it: held whole, every frame would keep a texture of
    // the whole picture for as long as the screen runs. A frame's picture is
    // that part (a repeated frame shares an earlier one's); the first frame's
    // is the whole.
    function partSource(mode, frame) {
        return frameSource(mode, FrameParts.parts[mode][frame][2])
    }
    // Where the shown frame's part sits, and the picture drawn there ("" for
    // the first frame), each one expression of mode and frame as frameUrl is.
    readonly property var framePart: FrameParts.parts[mode][frame > lastFrames[mode] ? 0 : frame]
    readonly property string partUrl: FrameParts.parts[mode][frame > lastFrames[mode] ? 0 : frame][2] === 0 ? "" : partSource(mode, frame > lastFrames[mode] ? 0 : frame)

    // With a switch interval each animation loops until the switch timer fires;
    // without one, reaching the last frame hands over to the other animation.
    function following(mode, frame) {
        if (switchInterval > 0)
            return [mode, frame >= lastFrames[mode] ? 0 : frame + 1]
        if (frame + 1 >= lastFrames[mode])
            return [1 - mode, 0]
        return [mode, frame + 1]
    }

    function step() {
        var next = following(mode, frame)
        frame = next[1]
        mode = next[0]
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
    // on the GUI thread. Each frame is read in the background one step before
    // it is first shown, and once shown it is held as its texture alone (see
    // the "texture" image provider): a decoded copy of every frame never
    // piles up, and nothing of it is on the start-up path.
    property int framesWanted: 0 // one bit a frame: the card's, then the ticket's

    function frameBit(mode, frame) {
        return 1 << (mode === 0 ? frame : lastFrames[0] + 1 + frame)
    }

    // The frame shown, the one after it, and the other animation's first,
    // which the switch timer may show next.
    function preload() {
        if (!visible)
            return
        var shown = frame > lastFrames[mode] ? 0 : frame
        var next = following(mode, shown)
        framesWanted |= frameBit(mode, shown) | frameBit(next[0], next[1]) | frameBit(1 - mode, 0)
    }
    onVisibleChanged: preload()
    onFrameChanged: preload()
    onModeChanged: preload()

    // The holders stay out of the window: one finishing its read would
    // otherwise ask the window for a frame that changes nothing, and the
    // window then waits out the rest of a refresh interval before it takes
    // the next change, a passenger's result among them.
    Instantiator {
        objectName: "frameHolders"
        model: root.framesWanted !== 0 ? root.lastFrames[0] + root.lastFrames[1] + 2 : 0

        Image {
            readonly property bool ticket: index > root.lastFrames[0]
            visible: false
            asynchronous: true
            source: (root.framesWanted & (1 << index)) ? "image://texture/" + root.partSource(ticket ? 1 : 0, ticket ? index - root.lastFrames[0] - 1 : index) : ""
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
        source: "image://texture/" + root.frameSource(root.mode, 0)

        Image {
            objectName: "animationPart"
            x: root.framePart[0]
            y: root.framePart[1]
            visible: root.partUrl !== ""
            smooth: false
            source: root.partUrl !== "" ? "image://texture/" + root.partUrl : ""
        }
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
