import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import QtQuick.FreeVirtualKeyboard 1.0
import "qrc:/qml/screens/settings"

// The validator configuration form as a technician uses it: tapping fields,
// typing on the on-screen keyboard and tapping Save, while reports of the
// services arrive.
Item {
    id: window
    width: 480
    height: 800

    QtObject {
        id: manager
        property string dynTr: ""
        property string language: "en_IE"
        property int shutdownDelaySec: 60
        property bool showErrorDesc: false
    }

    QtObject {
        id: validatorManager
        property QtObject config: QtObject {
            property string obuUrl: "http://10.0.0.5:8080"
            property int passbackSecs: 120
            property bool passbackQrEnabled: true
        }
        property int saves: 0
        property int refreshes: 0
        function saveConfig() {
            saves++
        }
        function refreshConfig() {
            refreshes++
        }
    }

    StackView {
        id: stack
        anchors.fill: parent
        anchors.bottomMargin: keyboard.height
        initialItem: Item {}
    }

    InputPanel {
        id: keyboard
        anchors.bottom: parent.bottom
        width: parent.width
    }

    Component {
        id: configPage
        ValidatorConfig {}
    }

    TestCase {
        name: "ValidatorConfigPage"
        when: windowShown

        property var page
        property var save

        function init() {
            tryCompare(stack, "busy", false)
            page = stack.push(configPage, {}, StackView.Immediate)
            verify(page)
            save = findChild(page, "saveButton")
            verify(save)
        }

        function cleanup() {
            while (stack.depth > 1)
                stack.pop(null, StackView.Immediate)
            tryCompare(stack, "busy", false)
            validatorManager.saves = 0
            validatorManager.config.obuUrl = "http://10.0.0.5:8080"
            validatorManager.config.passbackSecs = 120
            validatorManager.config.passbackQrEnabled = true
            manager.shutdownDelaySec = 60
            manager.showErrorDesc = false
        }

        // Taps the field and types over its text on the on-screen keyboard.
        function typeInto(field, text) {
            mouseClick(field)
            verify(field.activeFocus)
            field.selectAll()
            for (var i = 0; i < text.length; ++i)
                keyboard.press(text[i])
        }

        function test_typedNumberIsSavedWithoutEnter() {
            verify(!save.enabled)
            typeInto(page.passbackBox.contentItem, "30")
            // Not committed to the box yet, but it is what the technician sees.
            compare(page.passbackBox.value, 120)
            verify(save.enabled)
            mouseClick(save)
            compare(validatorManager.saves, 1)
            compare(validatorManager.config.passbackSecs, 30)
            tryCompare(stack, "depth", 1)
        }

        function test_typingTheStoredValueBackGreysSave() {
            typeInto(page.shutdownBox.contentItem, "65")
            verify(save.enabled)
            typeInto(page.shutdownBox.contentItem, "60")
            verify(!save.enabled)
            // An emptied box is nothing to save.
            typeInto(page.shutdownBox.contentItem, "65")
            keyboard.press("\u232b")
            keyboard.press("\u232b")
            compare(page.shutdownBox.contentItem.text, "")
            verify(!save.enabled)
        }

        function test_keyboardEnterCommitsTheNumber() {
            typeInto(page.shutdownBox.contentItem, "45")
            keyboard.press("\u23ce")
            compare(page.shutdownBox.value, 45)
            mouseClick(save)
            compare(manager.shutdownDelaySec, 45)
        }

        function test_reportKeepsEditsAndSaysWhatChanged() {
            typeInto(page.urlField, "http://10.0.0.9:8080")
            mouseClick(page.qrSwitch)
            verify(!page.qrSwitch.checked)
            // A configuration report: the passback time changed elsewhere, so
            // did the URL being edited; the switch's stored value did not.
            validatorManager.config.passbackSecs = 90
            validatorManager.config.obuUrl = "http://10.0.0.7:8080"
            compare(page.passbackBox.value, 90)
            compare(page.urlField.text, "http://10.0.0.9:8080")
            verify(!page.qrSwitch.checked)
            var notes = findChild(page, "notes")
            verify(notes.visible)
            verify(notes.text.indexOf("OBC URL") >= 0, notes.text)
            verify(notes.text.indexOf("http://10.0.0.7:8080") >= 0, notes.text)
            // Another controller setting changing leaves the form as it is.
            manager.showErrorDesc = true
            verify(page.errorDescSwitch.checked)
            compare(page.urlField.text, "http://10.0.0.9:8080")
            mouseClick(save)
            compare(validatorManager.config.obuUrl, "http://10.0.0.9:8080")
            compare(validatorManager.config.passbackSecs, 90)
            compare(validatorManager.config.passbackQrEnabled, false)
        }

        function test_storedValueBeyondRangeIsShownNotSaved() {
            stack.pop(null, StackView.Immediate)
            manager.shutdownDelaySec = 2000
            init()
            compare(page.shutdownBox.value, 900)
            verify(!save.enabled)
            var notes = findChild(page, "notes")
            verify(notes.visible)
            verify(notes.text.indexOf("2000") >= 0, notes.text)
            // The technician may still ask for the limit itself.
            typeInto(page.shutdownBox.contentItem, "900")
            verify(save.enabled)
            mouseClick(save)
            compare(manager.shutdownDelaySec, 900)
        }
    }
}
