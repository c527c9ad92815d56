import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/controls"

Item {
    id: window
    width: 480
    height: 200

    Clock {
        id: clock
    }

    SignalSpy {
        id: opened
        target: clock
        signalName: "pressAndHold"
    }

    TestCase {
        name: "Clock"
        when: windowShown

        function init() {
            tryCompare(clock, "tapCount", 0, 3000)
            opened.clear()
        }

        function taps(count) {
            for (var i = 0; i < count; ++i)
                mouseClick(clock)
        }

        function test_twoTapsDoNothing() {
            taps(2)
            compare(clock.tapCount, 2)
            tryCompare(clock, "tapCount", 0, 3000)
            compare(opened.count, 0)
        }

        function test_threeTapsOpenOnce() {
            taps(3)
            compare(opened.count, 0)
            opened.wait(3000)
            compare(opened.count, 1)
            compare(clock.tapCount, 0)
        }

        function test_holdOpensAtOnce() {
            mousePress(clock)
            opened.wait(3000)
            compare(opened.count, 1)
            mouseRelease(clock)
        }

        // A hold must not leave its press behind to combine with later taps.
        function test_holdThenTwoTaps() {
            mousePress(clock)
            opened.wait(3000)
            mouseRelease(clock)
            taps(2)
            tryCompare(clock, "tapCount", 0, 3000)
            compare(opened.count, 1)
        }

        function test_localeFormats() {
            clock.dateFormat = "MMMM"
            clock.locale = Qt.locale("el_GR")
            var greek = clock.dateText
            clock.locale = Qt.locale("en_IE")
            verify(greek !== clock.dateText)
            compare(clock.dateText, new Date().toLocaleDateString(Qt.locale("en_IE"), "MMMM"))
        }
    }
}
