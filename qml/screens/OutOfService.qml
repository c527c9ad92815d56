import QtQuick 2.15

ResultPage {
    id: root

    icon: "qrc:/qml/images/Icons/warning.svg"
    iconSize: Qt.size(300, 300)
    iconColor: "#fcdb03"
    title: manager.dynTr + qsTr("OUT OF SERVICE")
    titleSize: 20
    titleMargin: 35
    subtitle: ""
    hasSeparator: false
}
