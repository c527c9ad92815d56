import QtQuick 2.15

ResultPage {
    id: root

    icon: "qrc:/qml/images/Icons/warning.svg"
    iconSize: Qt.size(300, 300)
    iconColor: "#db4a37"
    title: manager.dynTr + qsTr("OUT OF ORDER")
    titleSize: 20
    // The controller's message is already in its final language.
    subtitle: manager.message
    hasSeparator: false
}
