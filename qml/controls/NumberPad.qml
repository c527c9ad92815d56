import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// Telephone-layout PIN pad. Each key press goes to the nearest enclosing item
// that defines the matching handler (calcNumberPressed, customLeftPressed,
// customRightPressed) and is also emitted as a signal.
Grid {
    id: root

    signal numberPressed(string key)
    signal leftPressed(string key)
    signal rightPressed(string key)

    property NumberPadStyle padStyle: NumberPadStyle {
        dark: root.Material.theme === Material.Dark
    }
    // Bound by the owner to the current language, so "CLR" is translated
    // again whenever it changes.
    property string language
    readonly property var keys: ["1", "2", "3", "4", "5", "6", "7", "8", "9", "\u2190", "0", translated(qsTr("CLR"))]

    function translated(text) {
        void language
        return text
    }

    function callHandler(name, key) {
        for (var item = root.parent; item; item = item.parent) {
            if (typeof item[name] === "function") {
                item[name](key)
                return true
            }
        }
        return false
    }

    function press(index) {
        var key = keys[index]
        if (index === 9) {
            callHandler("customLeftPressed", key)
            leftPressed(key)
        } else if (index === 11) {
            callHandler("customRightPressed", key)
            rightPressed(key)
        } else {
            callHandler("calcNumberPressed", key)
            numberPressed(key)
        }
    }

    rows: 4
    columns: 3
    columnSpacing: padStyle.columnSpacing
    rowSpacing: padStyle.rowSpacing

    Repeater {
        model: 12

        CustomButton {
            readonly property bool special: index === 9 || index === 11
            width: root.padStyle.keyWidth
            height: root.padStyle.keyHeight
            radius: root.padStyle.keyRadius
            flat: true
            color: special ? root.padStyle.specialKeyColor : root.padStyle.keyColor
            textColor: root.padStyle.textColor
            borderColor: root.padStyle.borderColor
            borderWidth: root.padStyle.borderWidth
            text: root.keys[index]
            textFontFamily: root.padStyle.fontFamily
            textFontPointSize: root.padStyle.fontPointSize
            textFontWeight: root.padStyle.fontWeight
            onClicked: root.press(index)
        }
    }
}
