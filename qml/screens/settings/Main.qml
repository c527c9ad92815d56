import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.FreeVirtualKeyboard 1.0
import "../../controls"

// The maintenance screen: a header with the options menu over a stack whose
// first item is the menu of pages. Only one page is opened from the menu;
// pages may push their own sub-pages.
Page {
    id: root

    // Menu entries; rebuilt on a language change so the texts follow it.
    readonly property var pages: [{
            "title": manager.dynTr + qsTr("Validator"),
            "hint": manager.dynTr + qsTr("Validator information and settings"),
            "page": "Validator.qml",
            "icon": "qrc:/qml/images/Icons/ticket.svg"
        }, {
            "title": manager.dynTr + qsTr("Diagnostics"),
            "hint": manager.dynTr + qsTr("System health and diagnostic"),
            "page": "Diagnostics.qml",
            "icon": "qrc:/qml/images/Icons/diagnostic.svg"
        }, {
            "title": manager.dynTr + qsTr("Region"),
            "hint": manager.dynTr + qsTr("Date, time and languange settings"),
            "page": "Region.qml",
            "icon": "qrc:/qml/images/Icons/region.svg"
        }, {
            "title": manager.dynTr + qsTr("Audio"),
            "hint": manager.dynTr + qsTr("Adjust audio volume"),
            "page": "Audio.qml",
            "icon": "qrc:/qml/images/Icons/audio.svg"
        }, {
            "title": manager.dynTr + qsTr("Display"),
            "hint": manager.dynTr + qsTr("Adjust display brightness and mode"),
            "page": "Display.qml",
            "icon": "qrc:/qml/images/Icons/brightness-2.svg"
        }, {
            "title": manager.dynTr + qsTr("Network"),
            "hint": manager.dynTr + qsTr("Configure Ethernet, WiFi and Modem"),
            "page": "Network.qml",
            "icon": "qrc:/qml/images/Icons/network.svg"
        }, {
            "title": manager.dynTr + qsTr("Update"),
            "hint": manager.dynTr + qsTr("Check for software and sytem updates"),
            "page": "Update.qml",
            "icon": "qrc:/qml/images/Icons/update.svg"
        }, {
            "title": manager.dynTr + qsTr("Event Log"),
            "hint": manager.dynTr + qsTr("Examine system events and alarms"),
            "page": "EventLog.qml",
            "icon": "qrc:/qml/images/Icons/log.svg"
        }]
    property int openedIndex: -1
    readonly property alias stack: stack
    readonly property alias optionsMenu: optionsMenu
    readonly property alias confirmation: confirmation
    readonly property alias configPopup: configPopup
    readonly property alias keyboard: inputPanel
    readonly property bool keyboardShown: Qt.inputMethod.visible || inputPanel.active === true
    // The style draws raised bars and menus through a shader; the software
    // renderer of a board without a GPU runs none and would leave them out.
    readonly property bool flatStyle: GraphicsInfo.api === GraphicsInfo.Software

    // Opens the menu's page at index. Refused while a page is open (a second
    // quick tap) and when the page's document cannot be loaded, so a missing
    // page never leaves a broken stack behind.
    function openPage(index) {
        if (stack.depth > 1 || stack.busy || index < 0 || index >= pages.length)
            return false
        var component = Qt.createComponent(pages[index].page)
        if (component.status !== Component.Ready) {
            console.warn("[QML] Settings page not available : " + pages[index].page
                         + (component.status === Component.Error ? " (" + component.errorString().trim() + ")" : ""))
            return false
        }
        openedIndex = index
        stack.push(component)
        return true
    }

    function back() {
        hideKeyboard()
        if (stack.depth > 1)
            stack.pop()
    }

    function hideKeyboard() {
        Qt.inputMethod.hide()
        root.forceActiveFocus()
    }

    function confirm(action) {
        confirmation.action = action
        confirmation.open()
    }

    onVisibleChanged: {
        stack.pop(null, StackView.Immediate)
        stack.headerCollapsed = false
        confirmation.close()
        configPopup.close()
        hideKeyboard()
    }

    background: Rectangle {
        color: root.Material.background
    }

    header: ToolBar {
        id: headerBar
        objectName: "settingsHeader"
        height: stack.headerCollapsed ? 0 : 70
        clip: true
        Material.background: "#1b1b1b"
        Material.elevation: root.flatStyle ? 0 : 4

        onVisibleChanged: optionsMenu.close()

        ToolButton {
            id: backButton
            objectName: "backButton"
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            width: 70
            height: 70
            visible: stack.depth > 1
            onClicked: root.back()

            TintedIcon {
                anchors.centerIn: parent
                width: 60
                height: 60
                sourceSize: Qt.size(60, 60)
                icon: "qrc:/qml/images/Icons/chevron-left.svg"
                color: "white"
            }
        }

        Label {
            objectName: "headerTitle"
            anchors.centerIn: parent
            width: parent.width - 2 * 80
            horizontalAlignment: Text.AlignHCenter
            text: stack.depth > 1 && root.openedIndex >= 0 ? root.pages[root.openedIndex].title : manager.dynTr
                                                              + qsTr("Settings")
            font.family: "DejaVu Sans"
            font.pixelSize: 28
            elide: Text.ElideRight
            color: "white"
        }

        ToolButton {
            id: menuButton
            objectName: "menuButton"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 70
            height: 70
            onClicked: optionsMenu.open()

            Image {
                anchors.centerIn: parent
                width: 36
                height: 36
                sourceSize: Qt.size(36, 36)
                source: "qrc:/qml/images/Icons/menu.png"
            }

            Menu {
                id: optionsMenu
                objectName: "optionsMenu"
                x: menuButton.width - width
                y: menuButton.height
                width: 280
                font.family: "DejaVu Sans"
                font.pixelSize: 18
                Material.elevation: root.flatStyle ? 0 : 8

                MenuItem {
                    objectName: "scanConfigItem"
                    text: manager.dynTr + qsTr("Scan Config QR")
                    onTriggered: {
                        configPopup.applied = null
                        configPopup.open()
                    }
                }
                MenuItem {
                    objectName: "restartItem"
                    text: manager.dynTr + qsTr("Restart Application")
                    onTriggered: root.confirm(function () {
                        manager.exitRequest()
                    })
                }
                MenuItem {
                    objectName: "rebootItem"
                    text: manager.dynTr + qsTr("Reboot")
                    onTriggered: root.confirm(function () {
                        manager.rebootRequest()
                    })
                }
                MenuItem {
                    objectName: "shutdownItem"
                    text: manager.dynTr + qsTr("Shutdown")
                    onTriggered: root.confirm(function () {
                        manager.shutdownRequest()
                    })
                }
                MenuItem {
                    objectName: "logoutItem"
                    text: manager.dynTr + qsTr("Logout")
                    onTriggered: manager.settingsLogoutRequest()
                }
            }
        }
    }

    StackView {
        id: stack
        objectName: "settingsStack"

        // Full-screen pages (the colour test) fold the header away.
        property bool headerCollapsed: false

        anchors.fill: parent
        anchors.bottomMargin: root.keyboardShown ? inputPanel.height : 0

        initialItem: ListView {
            id: menuList
            objectName: "menuList"
            model: root.pages
            interactive: contentHeight > height
            boundsBehavior: Flickable.StopAtBounds
            delegate: RowButton {
                objectName: "row" + index
                width: menuList.width
                height: menuList.height * 0.125
                title: modelData.title
                hint: modelData.hint
                icon: modelData.icon
                onClicked: root.openPage(index)
            }
        }
    }

    CustomPopup {
        id: confirmation
        objectName: "confirmation"
        property var action: null
        parent: Overlay.overlay
        isDialog: true
        language: manager.language
        text: manager.dynTr + qsTr("Are you sure?")
        onButtonYesPressed: {
            if (action)
                action()
            action = null
        }
        onButtonNoPressed: action = null
    }

    CustomPopup {
        id: configPopup
        objectName: "configPopup"
        parent: Overlay.overlay
        isDialog: false
        language: manager.language
        // The lines of an applied barcode, or null while waiting for one.
        property var applied: null
        text: manager.dynTr + (applied ? qsTr("CONFIGURATION APPLIED") + "\n" + applied.join("\n") : qsTr(
                                             "Scan Configuration QR code"))
        onOpened: validatorManager.enableBarcode()
        onClosed: validatorManager.disableBarcode()
    }

    Connections {
        target: manager
        function onBarcodeConfigurationApplied(configList) {
            configPopup.applied = configList
            configPopup.open()
        }
    }

    InputPanel {
        id: inputPanel
        objectName: "inputPanel"
        parent: root
        z: 99
        width: root.width
        height: 250
        y: root.keyboardShown ? root.height - height : root.height
        visible: y < root.height

        // Not every keyboard panel reports its Enter key; where it does, Enter
        // closes the keyboard.
        Connections {
            target: inputPanel
            ignoreUnknownSignals: true
            function onEnterClicked() {
                Qt.inputMethod.hide()
            }
        }

        Behavior on y {
            enabled: root.visible
            NumberAnimation {
                duration: 150
                easing.type: Easing.InOutQuad
            }
        }
    }
}
