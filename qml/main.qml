import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "controls"

// Context properties set by the controller before this document loads:
// manager, board, inspector, transaction, eventLogManager, network, validatorManager.
// The DejaVu Sans font is registered once by the entry point, before this loads.
ApplicationWindow {
    id: root

    // Every screen the controller can name, with its document. A document that
    // is not in the bundle is reported once and its screen stays blank.
    readonly property var screenDocuments: [{
            "name": "InitPage",
            "url": "screens/InitPage.qml"
        }, {
            "name": "Busy",
            "url": "screens/Busy.qml"
        }, {
            "name": "ScanScreens",
            "url": "screens/ScanScreens.qml"
        }, {
            "name": "Valid",
            "url": "screens/Valid.qml"
        }, {
            "name": "Invalid",
            "url": "screens/Invalid.qml"
        }, {
            "name": "AlreadyValid",
            "url": "screens/AlreadyValid.qml"
        }, {
            "name": "Retry",
            "url": "screens/Retry.qml"
        }, {
            "name": "OutOfOrder",
            "url": "screens/OutOfOrder.qml"
        }, {
            "name": "OutOfService",
            "url": "screens/OutOfService.qml"
        }, {
            "name": "ScreenSaver",
            "url": "screens/ScreenSaver.qml"
        }, {
            "name": "Settings",
            "url": "screens/settings/Main.qml"
        }, {
            "name": "Login",
            "url": "screens/settings/Login.qml"
        }]
    // Screens drawn over the whole window, header included.
    readonly property var fullWindowScreens: ["Settings", "ScreenSaver"]

    property string currentScreen: "Busy"
    property var screens: ({})
    property bool screensInWindow: false
    readonly property bool headerShown: fullWindowScreens.indexOf(currentScreen) < 0

    function createScreens() {
        var created = {}
        for (var i = 0; i < screenDocuments.length; ++i) {
            var entry = screenDocuments[i]
            var component = Qt.createComponent(Qt.resolvedUrl(entry.url), Component.PreferSynchronous)
            if (component.status !== Component.Ready) {
                console.warn("[QML] Screen not available : " + entry.name + " (" + component.errorString().trim() + ")")
                continue
            }
            var full = fullWindowScreens.indexOf(entry.name) >= 0
            // Created at the size it keeps (the bindings below hold it there):
            // created empty, every layout in it would be worked out a second
            // time and every icon sized by it decoded again.
            var screen = component.createObject(screenArea, {
                                                    "objectName": entry.name,
                                                    "y": full ? -header.height : 0,
                                                    "width": screenArea.width,
                                                    "height": screenArea.height + (full ? header.height : 0),
                                                    "visible": root.currentScreen === entry.name
                                                })
            if (!screen) {
                console.warn("[QML] Screen could not be created : " + entry.name)
                continue
            }
            screen.width = Qt.binding(function () {
                return screenArea.width
            })
            screen.height = Qt.binding(function (full) {
                return function () {
                    return screenArea.height + (full ? header.height : 0)
                }
            }(full))
            screen.visible = Qt.binding(function (name) {
                return function () {
                    return root.currentScreen === name
                }
            }(entry.name))
            // Out of the window until the first frame is out, unless shown:
            // a hidden screen in it still has its pictures, texts and glyphs
            // made ready for drawing, which the first frame would wait for.
            // Built in it, so what depends on the window (the popups' overlay)
            // is already bound.
            screen.parent = Qt.binding(function (name) {
                return function () {
                    return root.screensInWindow || root.currentScreen === name ? screenArea : null
                }
            }(entry.name))
            created[entry.name] = screen
        }
        screens = created
    }

    x: 0
    y: -1
    width: 480
    height: 800
    visible: true
    title: "Validator"

    Component.onCompleted: createScreens()

    // Emitted before each frame is handed to the renderer; the call comes
    // back once the first one was taken, and the hidden screens join the next.
    Connections {
        target: root
        enabled: !root.screensInWindow
        function onAfterAnimating() {
            Qt.callLater(function () {
                root.screensInWindow = true
            })
        }
    }

    // The picture is made at the window's size (header part included), so it
    // is drawn pixel for pixel: no filtering on each frame of the idle animation.
    Image {
        objectName: "backdrop"
        width: root.width
        height: root.height
        smooth: false
        source: "qrc:/qml/images/background.png"
        fillMode: Image.Stretch
    }

    // Under the screens, so a keyboard panel or a popup covers it.
    Label {
        objectName: "versionLabel"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 10
        text: "v" + Qt.application.version
        font.pixelSize: 12
        color: Material.color(Material.Grey, Material.Shade700)
    }

    Item {
        id: screenArea
        anchors.top: header.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
    }

    Header {
        id: header
        objectName: "header"
        y: 0
        width: root.width
        visible: root.headerShown
        language: manager.language
        locale: root.locale
        onLanguageSelected: manager.language = language
        onMaintenanceRequested: manager.setMaintenanceScreen()
    }

    CustomPopup {
        id: errorPopup
        objectName: "errorPopup"
        isDialog: false
        language: manager.language
    }

    MouseArea {
        anchors.fill: parent
        enabled: false
        cursorShape: manager.showCursor ? Qt.ArrowCursor : Qt.BlankCursor
        z: 1000
    }

    Connections {
        target: manager
        function onScreenChanged() {
            console.log("[QML] Screen changed : " + manager.screen)
            root.currentScreen = manager.screen
        }
        function onLanguageChanged() {
            root.locale = Qt.locale(manager.language)
        }
        function onErrorOccured(error) {
            console.log("[QML] Error occured : " + error)
            errorPopup.text = error
            errorPopup.open()
        }
    }
}
