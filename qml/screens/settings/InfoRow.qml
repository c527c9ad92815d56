import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// One "title: value" line of a maintenance page. Long values wrap below the
// title's column instead of running off the screen.
Item {
    id: root

    property string title
    property string value
    property color valueColor: Material.foreground
    property real titleWidth: width * 0.42

    width: parent ? parent.width : 300
    implicitHeight: Math.max(titleLabel.implicitHeight, valueLabel.implicitHeight)
    height: implicitHeight

    Label {
        id: titleLabel
        objectName: "rowTitle"
        width: root.titleWidth - 8
        text: root.title
        opacity: 0.7
        font.family: "DejaVu Sans"
        font.pixelSize: 16
        wrapMode: Text.WordWrap
    }

    Label {
        id: valueLabel
        objectName: "rowValue"
        x: root.titleWidth
        width: root.width - root.titleWidth
        text: root.value
        color: root.valueColor
        font.family: "DejaVu Sans"
        font.pixelSize: 16
        font.bold: true
        wrapMode: Text.WrapAnywhere
        horizontalAlignment: Text.AlignRight
    }
}
