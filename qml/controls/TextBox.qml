import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// A word-wrapped label filling a fixed box. Texts that come from the services
// (fare products, deny reasons, status messages) have no length limit, so the
// label shrinks its font to fit before anything would be cut.
Item {
    id: root

    property string text
    property real textSize: 16
    property int textHAlign: Text.AlignHCenter
    property int textVAlign: Text.AlignVCenter
    property bool textBold: false
    property real textLetterSpacing: 1.0
    property real leftMargin: 0
    property real rightMargin: 0
    property color textColor: Material.foreground
    readonly property alias label: label

    implicitWidth: label.implicitWidth + leftMargin + rightMargin
    implicitHeight: label.implicitHeight

    Label {
        id: label
        anchors.fill: parent
        anchors.leftMargin: root.leftMargin
        anchors.rightMargin: root.rightMargin
        text: root.text
        color: root.textColor
        font.family: "DejaVu Sans"
        font.pointSize: root.textSize
        font.bold: root.textBold
        font.letterSpacing: root.textLetterSpacing
        horizontalAlignment: root.textHAlign
        verticalAlignment: root.textVAlign
        wrapMode: Text.WordWrap
        fontSizeMode: Text.Fit
        minimumPointSize: 8
        elide: Text.ElideRight
    }
}
