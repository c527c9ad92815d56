import QtQuick 2.15
import QtTest 1.15
import "qrc:/qml/screens"

Item {
    id: window
    width: 480
    height: 680

    InitPage {
        id: page
        anchors.fill: parent
    }

    SignalSpy {
        id: saved
        target: manager
        signalName: "savedDeviceIdChanged"
    }

    TestCase {
        name: "InitPage"
        when: windowShown

        function init() {
            page.confirmation.close()
            tryCompare(page.confirmation, "visible", false)
            saved.clear()
        }

        function test_rule_data() {
            return [{
                        "tag": "K and eight digits",
                        "text": "K12345678",
                        "valid": true
                    }, {
                        "tag": "C and eight digits",
                        "text": "C00000001",
                        "valid": true
                    }, {
                        "tag": "seven digits",
                        "text": "K1234567",
                        "valid": false
                    }, {
                        "tag": "two letters",
                        "text": "CK12345678",
                        "valid": false
                    }, {
                        "tag": "lower-case letter",
                        "text": "k12345678",
                        "valid": false
                    }, {
                        "tag": "comma first",
                        "text": ",12345678",
                        "valid": false
                    }, {
                        "tag": "nine digits",
                        "text": "K123456789",
                        "valid": false
                    }, {
                        "tag": "trailing line feed",
                        "text": "K12345678\n",
                        "valid": false
                    }, {
                        "tag": "empty",
                        "text": "",
                        "valid": false
                    }]
        }

        function test_rule(data) {
            compare(page.isSerialNumberValid(data.text), data.valid)
            page.serialField.text = data.text
            compare(page.inputValid, data.valid)
            compare(findChild(page, "hint").visible, !data.valid)
            compare(findChild(page, "saveButton").enabled, data.valid)
        }

        function test_enter_data() {
            return [{
                        "tag": "refused",
                        "text": "K1234567",
                        "opens": false
                    }, {
                        "tag": "accepted",
                        "text": "K12345678",
                        "opens": true
                    }]
        }

        // Enter from a hardware key and from the on-screen panel go the same way.
        function test_enter(data) {
            page.serialField.text = data.text
            page.serialField.forceActiveFocus()
            tryCompare(page, "keyboardShown", true)
            keyClick(Qt.Key_Return)
            compare(page.confirmation.opened || page.confirmation.visible, data.opens)
            if (data.opens) {
                tryCompare(page, "keyboardShown", false)
                page.confirmation.close()
                tryCompare(page.confirmation, "visible", false)
            } else {
                compare(page.keyboardShown, true)
            }

            page.serialField.forceActiveFocus()
            page.keyboard.press("\u23ce")
            compare(page.confirmation.opened || page.confirmation.visible, data.opens)
        }

        function test_keyboardTypesIntoField() {
            page.serialField.text = ""
            page.serialField.forceActiveFocus()
            tryCompare(page, "keyboardShown", true)
            tryCompare(page.keyboard, "y", page.height - page.keyboard.height)
            var keys = ["K", "1", "2", "3", "4", "5", "6", "7", "8", "9", "\u232b"]
            for (var i = 0; i < keys.length; ++i)
                page.keyboard.press(keys[i])
            compare(page.serialField.text, "K12345678")
            page.hideKeyboard()
            tryCompare(page.keyboard, "y", page.height)
        }

        function test_confirmSaves() {
            page.serialField.text = "C87654321"
            mouseClick(findChild(page, "saveButton"))
            tryCompare(page.confirmation, "opened", true)
            verify(page.confirmation.text.indexOf("C87654321") > 0)
            mouseClick(findChild(page.confirmation.contentItem, "noButton"))
            tryCompare(page.confirmation, "visible", false)
            compare(saved.count, 0)

            mouseClick(findChild(page, "saveButton"))
            tryCompare(page.confirmation, "opened", true)
            mouseClick(findChild(page.confirmation.contentItem, "yesButton"))
            compare(saved.count, 1)
            compare(manager.savedDeviceId, "C87654321")
            tryCompare(page.confirmation, "visible", false)
        }
    }
}
