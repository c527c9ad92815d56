import QtQuick 2.15

// Colours and metrics of the PIN pad for the dark and the light theme.
QtObject {
    property bool dark: true

    property real keyWidth: 118
    property real keyHeight: 70
    property real keyRadius: 4
    property real columnSpacing: 6
    property real rowSpacing: 7
    property string fontFamily: "Arial"
    property real fontPointSize: 16
    property int fontWeight: Font.Medium

    property color keyColor: dark ? "black" : "white"
    property color specialKeyColor: dark ? "#787878" : "#D6D6D6"
    property color textColor: dark ? "white" : "black"
    property color borderColor: dark ? "transparent" : "black"
    property real borderWidth: dark ? 0 : 1
}
