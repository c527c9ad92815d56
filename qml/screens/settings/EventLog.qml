import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"

// The device's event history, newest first, filtered by name and period in
// the event manager.
Item {
    id: root

    // Period keys the event manager understands; the combo box shows their translations.
    readonly property var periods: [QT_TR_NOOP("All history"), QT_TR_NOOP("Last hour"), QT_TR_NOOP(
            "Last 2 hours"), QT_TR_NOOP("Today"), QT_TR_NOOP("Yesterday"), QT_TR_NOOP("Last week"), QT_TR_NOOP(
            "Last month")]
    readonly property var severities: [QT_TR_NOOP("Critical"), QT_TR_NOOP("Warning"), QT_TR_NOOP("All messages")]
    property alias searchField: search
    property alias historyBox: history
    property alias list: events

    function translated(key) {
        return manager.dynTr + qsTranslate("EventLog", key)
    }

    function timeText(stamp) {
        void manager.dynTr
        if (!stamp || isNaN(stamp.getTime()))
            return ""
        return stamp.toLocaleString(Qt.locale(manager.language), "dd-MMM-yy hh:mm")
    }

    function clearSearch() {
        search.text = ""
        Qt.inputMethod.hide()
    }

    // The manager is given the untranslated key, whatever language is shown.
    function choosePeriod(index) {
        Qt.inputMethod.hide()
        eventLogManager.applyFilterPeriod(periods[index])
    }

    // The manager keeps its filters between visits; start from what the
    // controls show.
    Component.onCompleted: {
        eventLogManager.applyFilter("")
        eventLogManager.applyFilterPeriod(periods[history.currentIndex])
    }

    Column {
        id: filters
        x: 15
        y: 10
        width: root.width - 30
        spacing: 6

        Row {
            width: parent.width
            spacing: 10

            Image {
                anchors.verticalCenter: parent.verticalCenter
                width: 32
                height: 32
                sourceSize: Qt.size(32, 32)
                source: "qrc:/qml/images/Icons/search.svg"
            }
            TextField {
                id: search
                objectName: "searchField"
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - 32 - clearButton.width - 20
                placeholderText: manager.dynTr + qsTr("Search")
                font.pixelSize: 18
                onTextChanged: eventLogManager.applyFilter(text)
            }
            CustomButton {
                id: clearButton
                objectName: "clearButton"
                anchors.verticalCenter: parent.verticalCenter
                width: 130
                height: 48
                radius: 4
                color: Material.accent
                textColor: Material.foreground
                textBold: true
                textFontPointSize: 12
                text: manager.dynTr + qsTr("CLEAR")
                onClicked: root.clearSearch()
            }
        }

        Row {
            width: parent.width
            spacing: 10

            // Events carry no severity yet, so this choice filters nothing.
            EventFilterBox {
                id: severity
                objectName: "severityBox"
                width: (parent.width - 10) * 0.45
                model: root.severities
                currentIndex: 2
            }
            EventFilterBox {
                id: history
                objectName: "historyBox"
                width: (parent.width - 10) * 0.55
                model: root.periods
                currentIndex: 0
                onActivated: root.choosePeriod(index)
            }
        }
    }

    ListView {
        id: events
        objectName: "eventList"
        anchors.top: filters.bottom
        anchors.topMargin: 10
        anchors.left: parent.left
        anchors.right: parent.right
        height: Math.min(600, root.height - y - 10)
        clip: true
        spacing: 4
        model: eventLogManager.data
        boundsBehavior: Flickable.StopAtBounds

        delegate: MessageRowItem {
            width: events.width
            title: modelData.name
            message: modelData.description
            time: root.timeText(modelData.timestamp)
            isExpandable: true
            // Single events cannot be deleted from the log.
            deletable: false
            scale: pressedNow ? 0.95 : 1.0
            property bool pressedNow: false
            onPressed: pressedNow = true
            onReleased: pressedNow = false
            onClicked: pressedNow = false
        }

        ScrollIndicator.vertical: ScrollIndicator {}
    }
}
