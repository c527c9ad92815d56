import QtQuick 2.15
import "../controls"

ResultPage {
    id: root

    icon: "qrc:/qml/images/Icons/invalid.svg"
    iconColor: "#db4a37"
    title: manager.dynTr + qsTr("INVALID")
    titleSize: 32
    subtitle: ""

    TextBox {
        objectName: "denyReason"
        width: parent.width
        height: 100
        text: transaction.denyReason || ""
        textSize: 14
        leftMargin: 35
        rightMargin: 25
    }
}
