import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// Titled group of rows on a maintenance page.
GroupBox {
    id: root

    default property alias rows: column.data

    width: parent ? parent.width : implicitWidth
    padding: 12
    topPadding: label.implicitHeight + 16
    font.family: "DejaVu Sans"

    label: Label {
        x: root.leftPadding
        width: root.availableWidth
        text: root.title
        color: root.Material.accent
        font.family: "DejaVu Sans"
        font.pixelSize: 18
        font.bold: true
        elide: Text.ElideRight
    }

    Column {
        id: column
        width: root.availableWidth
        spacing: 6
    }
}
