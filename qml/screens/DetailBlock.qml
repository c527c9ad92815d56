import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "Logic.js" as Logic

// Ticket details under a result: one or two label and value columns chosen by
// the kind of product. Labels and unit words come translated from the screen.
Item {
    id: root

    property string kind: ""
    property var details: ({})
    property var locale: Qt.locale()
    property var words: ({})

    readonly property bool twoColumns: kind !== "" && kind !== "transfer"
    readonly property string leftLabel: kind === "purse" ? words.deducted : words.remaining
    readonly property string leftValue: {
        var d = details || {}
        switch (kind) {
        case "transfer":
        case "trips":
        case "transferBalance":
            return Logic.periodText(d.transferRemainingMin, words)
        case "period":
            return Logic.periodText(d.remaining, words)
        case "purse":
            return Logic.currencyText(d.deducted, locale)
        }
        return ""
    }
    readonly property string rightLabel: {
        switch (kind) {
        case "trips":
            return words.trips
        case "transferBalance":
        case "purse":
            return words.balance
        case "period":
            return words.expires
        }
        return ""
    }
    readonly property string rightValue: {
        var d = details || {}
        switch (kind) {
        case "trips":
            return Logic.plainNumber(d.remaining)
        case "transferBalance":
        case "purse":
            return Logic.currencyText(d.remaining, locale)
        case "period":
            return Logic.dateText(d.expires, locale)
        }
        return ""
    }

    visible: kind !== ""
    width: parent ? parent.width : 480
    height: 100

    Column {
        id: leftColumn
        anchors.left: parent.left
        anchors.leftMargin: root.twoColumns ? 35 : 0
        anchors.right: root.twoColumns ? parent.horizontalCenter : parent.right
        anchors.rightMargin: root.twoColumns ? 5 : 0

        Label {
            objectName: "leftLabel"
            width: parent.width
            height: 30
            text: root.leftLabel
            font.family: "DejaVu Sans"
            font.pointSize: 10
            opacity: 0.8
            verticalAlignment: Text.AlignBottom
            horizontalAlignment: root.twoColumns ? Text.AlignLeft : Text.AlignHCenter
            elide: Text.ElideRight
        }

        Label {
            objectName: "leftValue"
            width: parent.width
            height: 70
            text: root.leftValue
            font.family: "DejaVu Sans"
            font.pointSize: 14
            font.bold: root.kind !== "purse"
            verticalAlignment: Text.AlignTop
            horizontalAlignment: root.twoColumns ? Text.AlignLeft : Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPointSize: 8
        }
    }

    Column {
        id: rightColumn
        visible: root.twoColumns
        anchors.left: parent.horizontalCenter
        anchors.leftMargin: 5
        anchors.right: parent.right
        anchors.rightMargin: 35

        Label {
            objectName: "rightLabel"
            width: parent.width
            height: 30
            text: root.rightLabel
            font.family: "DejaVu Sans"
            font.pointSize: 10
            opacity: 0.8
            verticalAlignment: Text.AlignBottom
            horizontalAlignment: Text.AlignRight
            elide: Text.ElideRight
        }

        Label {
            objectName: "rightValue"
            width: parent.width
            height: 70
            text: root.rightValue
            font.family: "DejaVu Sans"
            font.pointSize: 14
            font.bold: root.kind === "trips" || root.kind === "period"
            verticalAlignment: Text.AlignTop
            horizontalAlignment: Text.AlignRight
            fontSizeMode: Text.HorizontalFit
            minimumPointSize: 8
        }
    }
}
