import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// One "title: value" line of an information page. colourName is a colour rule
// answer ("green", "amber", "red", "grey"); empty keeps the normal text colour.
Item {
    id: root

    property string title
    property string value
    property string colourName: ""
    property alias titleLabel: titleText
    property alias valueLabel: valueText

    readonly property color valueColour: {
        switch (colourName) {
        case "green":
            return Material.color(Material.Green)
        case "amber":
            return Material.color(Material.Amber)
        case "red":
            return Material.color(Material.Red)
        case "grey":
            return Material.color(Material.Grey)
        }
        return Material.foreground
    }

    width: parent ? parent.width : 440
    implicitHeight: Math.max(32, titleText.implicitHeight, valueText.implicitHeight) + 8
    height: implicitHeight

    Label {
        id: titleText
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width * 0.42
        text: root.title
        font.family: "DejaVu Sans"
        font.pixelSize: 17
        opacity: 0.75
        wrapMode: Text.WordWrap
    }

    Label {
        id: valueText
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width * 0.58 - 8
        text: root.value
        font.family: "DejaVu Sans"
        font.pixelSize: 17
        font.bold: true
        color: root.valueColour
        horizontalAlignment: Text.AlignRight
        wrapMode: Text.WrapAnywhere
    }
}
