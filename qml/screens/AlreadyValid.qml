import QtQuick 2.15
import "Logic.js" as Logic

// Capping products (15, 16) have no detail block here.
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
    readonly property string detailKind: Logic.detailKind(transaction.type, false)

    function periodText(minutes) {
        return Logic.periodText(minutes, words)
    }

    icon: "qrc:/qml/images/Icons/warning.svg"
    iconColor: "#fcdb03"
    title: manager.dynTr + qsTr("ALREADY VALIDATED")
    titleSize: 24
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
