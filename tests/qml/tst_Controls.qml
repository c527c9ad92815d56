import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/controls"

Item {
    id: window
    width: 480
    height: 800

    ListModel {
        id: source
        ListElement {
            name: "Application started"
        }
        ListElement {
            name: "Ignition on"
        }
        ListElement {
            name: "Ignition off"
        }
    }

    SortFilterModel {
        id: filtered
        model: source
        delegate: Item {
            property string name: model.name
        }
    }

    // A page that takes the pad's keys through handlers of the expected names.
    Item {
        id: page
        property var pressed: []
        function calcNumberPressed(key) {
            pressed.push("number " + key)
        }
        function customLeftPressed(key) {
            pressed.push("left " + key)
        }
        function customRightPressed(key) {
            pressed.push("right " + key)
        }
        width: 480
        height: 400

        Item {
            anchors.fill: parent

            NumberPad {
                id: pad
            }
        }
    }

    MessageRowItem {
        id: row
        y: 450
        width: 480
        title: "Ignition off"
        message: "The vehicle's ignition was switched off"
        time: "12:30"
        isExpandable: true
    }

    SignalSpy {
        id: deleteSpy
        target: row
        signalName: "deleteRequest"
    }

    TestCase {
        name: "Controls"
        when: windowShown

        function test_filterFollowsFunctionAndSource() {
            compare(filtered.count, 3)
            filtered.filterAcceptsItem = function (item) {
                return item.name.indexOf("Ignition") === 0
            }
            compare(filtered.count, 2)
            source.append({
                              "name": "Ignition on"
                          })
            compare(filtered.count, 3)
            source.append({
                              "name": "Login"
                          })
            compare(filtered.count, 3)
            filtered.filterAcceptsItem = function (item) {
                return true
            }
            compare(filtered.count, 5)
        }

        function test_padCallsThePageByName() {
            page.pressed = []
            var keys = pad.children
            var buttons = []
            for (var i = 0; i < keys.length; ++i) {
                if (keys[i].text !== undefined)
                    buttons.push(keys[i])
            }
            compare(buttons.length, 12)
            compare(buttons[11].text, "CLR")
            mouseClick(buttons[0])
            mouseClick(buttons[10])
            mouseClick(buttons[9])
            mouseClick(buttons[11])
            compare(page.pressed.join("; "), "number 1; number 0; left \u2190; right CLR")
        }

        function test_rowExpandsAndAsksForDeletion() {
            var collapsed = row.height
            mouseClick(row, 100, 10)
            verify(row.expanded)
            verify(row.height > collapsed)
            verify(row.height <= 150)
            mouseClick(row, row.width - 25, row.height - 25)
            compare(deleteSpy.count, 1)
        }
    }
}
