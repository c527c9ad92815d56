import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// Date and time of day. Also the hidden door to maintenance: three presses
// within a second, or one long press, emit pressAndHold().
Item {
    id: root

    signal clicked
    signal pressAndHold

    property string dateFormat: "ddd, d MMM yyyy"
    property string timeFormat: "hh:mm:ss"
    property var locale: Qt.locale()
    property int tapWindow: 1000
    property int tapCount: 0
    property color textColor: Material.theme === Material.Dark ? "white" : "black"
    readonly property alias dateText: dateLabel.text
    readonly property alias timeText: timeLabel.text

    width: 200
    height: 65

    function refresh() {
        var now = new Date()
        dateLabel.text = now.toLocaleDateString(root.locale, root.dateFormat)
        timeLabel.text = now.toLocaleTimeString(root.locale, root.timeFormat)
    }

    onLocaleChanged: refresh()
    onDateFormatChanged: refresh()
    onTimeFormatChanged: refresh()

    Column {
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width

        Text {
            id: dateLabel
            width: parent.width
            horizontalAlignment: Text.AlignRight
            color: root.textColor
            font.family: "DejaVu Sans"
            font.pixelSize: 20
            font.weight: Font.Medium
            font.letterSpacing: 0.2
        }

        Text {
            id: timeLabel
            width: parent.width
            horizontalAlignment: Text.AlignRight
            color: root.textColor
            font.family: "DejaVu Sans"
            font.pixelSize: 42
            font.bold: true
            font.letterSpacing: 0.8
        }
    }

    Timer {
        interval: 1000
        repeat: true
        running: true
        triggeredOnStart: true
        onTriggered: root.refresh()
    }

    Timer {
        id: tapTimer
        interval: root.tapWindow
        onTriggered: {
            console.log("[QML][Clock] Press time expired : " + root.tapCount + " click(s)")
            if (root.tapCount > 2) {
                console.log("[QML][Clock] More than 2 taps detected within 1 sec.")
                root.pressAndHold()
            }
            root.tapCount = 0
        }
    }

    MouseArea {
        anchors.fill: parent
        onPressed: {
            if (!tapTimer.running)
                tapTimer.start()
            root.tapCount++
        }
        onPressAndHold: {
            console.log("[QML][Clock] Press and hold detected")
            tapTimer.stop()
            // The hold has opened the door already; presses counted before it
            // must not combine with later taps into a second opening.
            root.tapCount = 0
            root.pressAndHold()
        }
        onClicked: root.clicked()
    }
}
