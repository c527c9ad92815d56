import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/screens"

Item {
    id: window
    width: 480
    height: 680

    ScanScreens {
        id: scan
        anchors.fill: parent
    }

    // The frame at the moment the animation changes.
    property int frameAtSwitch: -1

    Connections {
        target: scan
        function onModeChanged() {
            window.frameAtSwitch = scan.frame
        }
    }

    TestCase {
        name: "ScanScreens"
        when: windowShown

        // The shown frames over n steps, driven by hand so timing plays no part.
        function run(steps) {
            var shown = []
            for (var i = 0; i < steps; ++i) {
                shown.push(scan.frameUrl.replace("qrc:/qml/images/", "").replace(".png", ""))
                scan.step()
            }
            return shown.join(" ")
        }

        function init() {
            scan.mode = 0
            scan.frame = 0
        }

        function cleanup() {
            manager.animSwitchSec = 0
        }

        function test_alternatesWithoutSwitchTimer() {
            manager.animSwitchSec = 0
            compare(run(16), "NFC/0 NFC/1 NFC/2 NFC/3 NFC/4 NFC/5 " + "Barcode/0 Barcode/1 Barcode/2 Barcode/3 Barcode/4 Barcode/5 Barcode/6 Barcode/7 "
                    + "NFC/0 NFC/1")
        }

        function test_loopsUntilSwitchTimer() {
            manager.animSwitchSec = 60000
            compare(run(9), "NFC/0 NFC/1 NFC/2 NFC/3 NFC/4 NFC/5 NFC/6 NFC/0 NFC/1")
            scan.mode = 1
            scan.frame = 0
            compare(run(10), "Barcode/0 Barcode/1 Barcode/2 Barcode/3 Barcode/4 Barcode/5 Barcode/6 Barcode/7 Barcode/8 Barcode/0")
        }

        function test_switchTimerChangesAnimation() {
            manager.animSwitchSec = 200
            scan.frame = 4
            window.frameAtSwitch = -1
            tryCompare(scan, "mode", 1, 2000)
            compare(window.frameAtSwitch, 0)
        }

        function test_counterBeyondLastFrameShowsFirst() {
            scan.mode = 1
            scan.frame = 8
            scan.mode = 0
            compare(scan.frameUrl, "qrc:/qml/images/NFC/0.png")
        }

        // The holders read their frames outside the window: one finishing its
        // read inside it made the window wait a refresh interval for nothing.
        function test_holdersReadOutsideTheWindow() {
            manager.animSwitchSec = 0
            scan.framesWanted = 0
            scan.preload()
            var holders = findChild(scan, "frameHolders")
            verify(holders)
            for (var i = 0; i < holders.count; ++i) {
                var holder = holders.objectAt(i)
                compare(holder.parent, null, "holder " + i + " is in the window")
            }
            tryCompare(holders.objectAt(1), "status", Image.Ready, 2000)
        }

        // Every frame is read (in the background) before the step that first
        // shows it, and a frame never shown is never read.
        function test_framesReadBeforeShown() {
            manager.animSwitchSec = 0
            scan.framesWanted = 0
            scan.preload()
            for (var i = 0; i < 20; ++i) {
                var next = scan.following(scan.mode, scan.frame)
                verify(scan.framesWanted & scan.frameBit(next[0], next[1]), "not read ahead: " + next)
                scan.step()
            }
            verify(!(scan.framesWanted & scan.frameBit(0, 6)), "NFC/6 is never shown without a switch timer")

            // The switch timer may show the other animation's first frame next.
            manager.animSwitchSec = 60000
            scan.framesWanted = 0
            scan.frame = 3
            verify(scan.framesWanted & scan.frameBit(1 - scan.mode, 0))
        }

        function test_text() {
            scan.mode = 0
            compare(findChild(scan, "scanText").text, "SCAN\nYOUR CARD")
            scan.mode = 1
            compare(findChild(scan, "scanText").text, "SCAN\nYOUR TICKET")
        }
    }
}
