import QtQuick 2.15

ResultPage {
    id: root

    icon: "qrc:/qml/images/Icons/retry.svg"
    iconColor: "#fcdb03"
    title: manager.dynTr + qsTr("PLEASE TRY AGAIN")
    titleSize: 24
    titleHeight: 200
    titleMargin: 40
    hasSubtitle: false

    Item {
        width: parent.width
        height: 100
    }
}
