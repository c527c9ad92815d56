import QtQuick 2.15
import QtQuick.Controls 2.15

// Scrolling body of a maintenance page: children are laid out in one column
// with the page's margins. Leaves room for the on-screen keyboard when a
// field of the page has it open.
Flickable {
    id: root

    default property alias content: column.data
    property alias spacing: column.spacing
    readonly property real innerWidth: width - 2 * margins
    property real margins: 16
    property real keyboardHeight: 0

    contentWidth: width
    contentHeight: column.height + 2 * margins + keyboardHeight
    clip: true
    boundsBehavior: Flickable.StopAtBounds

    ScrollIndicator.vertical: ScrollIndicator {}

    Column {
        id: column
        x: root.margins
        y: root.margins
        width: root.innerWidth
        spacing: 12
    }
}
