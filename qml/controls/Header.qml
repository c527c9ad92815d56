import QtQuick 2.15

// The strip above every passenger screen: language flag at the left, clock at the right.
Item {
    id: root

    signal languageSelected(string language)
    signal maintenanceRequested

    property string language: "el_GR"
    property var locale: Qt.locale()
    readonly property alias clock: clock
    readonly property alias languageButton: languageButton

    // The flag shows the language the next tap switches to.
    function nextLanguage(current) {
        return current === "el_GR" ? "en_IE" : "el_GR"
    }

    function flagFor(current) {
        return current === "el_GR" ? "qrc:/qml/images/Flags/uk.png" : "qrc:/qml/images/Flags/gr.png"
    }

    width: parent ? parent.width : 480
    height: 120

    RoundButton {
        id: languageButton
        anchors.left: parent.left
        anchors.leftMargin: 30
        anchors.verticalCenter: parent.verticalCenter
        radius: 35
        buttonColor: "transparent"
        dropShadow: false
        pngImage: true
        iconSize: 61
        icon: root.flagFor(root.language)
        onClicked: root.languageSelected(root.nextLanguage(root.language))
    }

    Clock {
        id: clock
        anchors.right: parent.right
        anchors.rightMargin: 25
        anchors.verticalCenter: parent.verticalCenter
        dateFormat: "dd-MMM-yyyy"
        timeFormat: "hh:mm"
        locale: root.locale
        onClicked: console.log("[QML] Clock tapped.")
        onPressAndHold: root.maintenanceRequested()
    }
}
