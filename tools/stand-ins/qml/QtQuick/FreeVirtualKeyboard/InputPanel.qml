import QtQuick 2.15
import QtQuick.Window 2.15

// Desktop and test stand-in for the device's on-screen keyboard panel.
// Without the device's input-method plug-in Qt.inputMethod never becomes
// visible, so the panel reports itself active while a text field holds the
// focus. Keys edit the focused field directly; Enter emits the field's
// accepted() signal, as a Return key press would.
Item {
    id: root

    signal enterClicked

    readonly property var target: {
        var item = Window.activeFocusItem
        return item && item.cursorPosition !== undefined && typeof item.insert === "function" ? item : null
    }
    readonly property bool active: Qt.inputMethod.visible || target !== null
    property bool shift: true

    readonly property var rows: [["1", "2", "3", "4", "5", "6", "7", "8", "9", "0"],
        ["Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P"], ["A", "S", "D", "F", "G", "H", "J", "K", "L"],
        ["\u21e7", "Z", "X", "C", "V", "B", "N", "M", "\u232b"], [",", " ", ".", "\u23ce"]]

    function press(key) {
        if (key === "\u21e7") {
            shift = !shift
            return
        }
        if (key === "\u23ce") {
            enterClicked()
            if (target && typeof target.accepted === "function")
                target.accepted()
            return
        }
        if (!target || target.readOnly)
            return
        if (key === "\u232b") {
            if (target.selectedText.length > 0)
                target.remove(target.selectionStart, target.selectionEnd)
            else if (target.cursorPosition > 0)
                target.remove(target.cursorPosition - 1, target.cursorPosition)
            return
        }
        var text = shift ? key : key.toLowerCase()
        if (target.selectedText.length > 0)
            target.remove(target.selectionStart, target.selectionEnd)
        target.insert(target.cursorPosition, text)
    }

    width: parent ? parent.width : 480
    height: 250

    Rectangle {
        anchors.fill: parent
        color: "#1d1f24"
    }

    Column {
        anchors.fill: parent
        anchors.margins: 4
        spacing: 4

        Repeater {
            model: root.rows

            Row {
                readonly property var keys: modelData
                readonly property real keyWidth: (root.width - 8 - 4 * 9) / 10
                anchors.horizontalCenter: parent.horizontalCenter
                spacing: 4

                Repeater {
                    model: parent.keys

                    Rectangle {
                        readonly property bool wide: modelData === " "
                        width: wide ? parent.keyWidth * 5 + 16 : (modelData === "\u23ce" ? parent.keyWidth * 2 + 4 : parent.keyWidth)
                        height: (root.height - 8 - 4 * 4) / 5
                        radius: 4
                        color: keyArea.pressed ? "#4a4f5a" : "#33363d"

                        Text {
                            anchors.centerIn: parent
                            text: root.shift || modelData.length !== 1 ? modelData : modelData.toLowerCase()
                            color: "white"
                            font.pixelSize: 20
                        }

                        MouseArea {
                            id: keyArea
                            anchors.fill: parent
                            onClicked: root.press(modelData)
                        }
                    }
                }
            }
        }
    }
}
