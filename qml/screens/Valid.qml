import QtQuick 2.15
import "Logic.js" as Logic

ResultPage {
    id: root

    property var pageLocale: Qt.locale()
    readonly property var words: ({
            "remaining": manager.dynTr + qsTr("Remaining"),
            "trips": manager.dynTr + qsTr("Trips"),
            "balance": manager.dynTr + qsTr("Balance"),
            "deducted": manager.dynTr + qsTr("Deducted"),
            "expires": manager.dynTr + qsTr("Expires"),
            "min": manager.dynTr + qsTr("min"),
            "mins": manager.dynTr + qsTr("mins"),
            "hour": manager.dynTr + qsTr("hour"),
            "hours": manager.dynTr + qsTr("hours"),
            "day": manager.dynTr + qsTr("day"),
            "days": manager.dynTr + qsTr("days")
        })
    readonly property string detailKind: Logic.detailKind(transaction.type, true)

    function periodText(minutes) {
        return Logic.periodText(minutes, words)
    }

    icon: "qrc:/qml/images/Icons/valid.svg"
    iconColor: "#41b987"
    title: manager.dynTr + qsTr("VALID")
    titleSize: 32
    subtitle: transaction.fareProduct || ""

    Connections {
        target: manager
        function onLanguageChanged() {
            root.pageLocale = Qt.locale(manager.language)
        }
    }

    DetailBlock {
        objectName: "details"
        kind: root.detailKind
        details: transaction.details
        locale: root.pageLocale
        words: root.words
    }
}
