import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// A text field for one IPv4 address; the text turns red when an edit ends
// with something that is not an address, and back once it is one again.
TextField {
    id: root

    property bool valid: true

    inputMethodHints: Qt.ImhFormattedNumbersOnly
    font.pixelSize: 17
    color: valid ? Material.foreground : Material.color(Material.Red)
    onEditingFinished: valid = network.ethernet.isAddress(text)
    onTextChanged: {
        if (!valid && network.ethernet.isAddress(text))
            valid = true
    }
}
