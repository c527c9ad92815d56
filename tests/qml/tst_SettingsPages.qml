import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import QtQuick.FreeVirtualKeyboard 1.0
import "qrc:/qml/screens/settings"
import "qrc:/qml/screens/settings/PageChecks.js" as Checks

Item {
    id: window
    width: 480
    height: 800

    // Stand-ins for the proxies, found by the pages under their context names.
    QtObject {
        id: network
        property string connectionState: "Connected"
        property string connectivity: "Full"
        property string hostname: "validator"
        property var primaryConnection: null
        property QtObject ethernet: QtObject {
            property string method: "auto"
            property string state: "Connected"
            property var ipv4: null
            property int saves: 0
            property QtObject config: QtObject {
                property string address: "192.168.1.20"
                property string mask: "255.255.255.0"
                property string gateway: ""
                property string dns0: ""
                property string dns1: ""
            }
            // The real check lives in the proxy; here it answers what a test sets
            // and remembers what it was asked.
            property string answer: ""
            property var asked: null
            function check(method, fields) {
                asked = {
                    "method": method,
                    "fields": fields
                }
                return answer
            }
            function isAddress(text) {
                return text === "" || /^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$/.test(text) && text.split(".").every(
                            function (part) {
                                return Number(part) <= 255
                            })
            }
            function save() {
                saves++
            }
        }
    }

    QtObject {
        id: eventLogManager
        property var data: []
        property var names: []
        property var periods: []
        function applyFilter(name) {
            names.push(name)
        }
        function applyFilterPeriod(period) {
            periods.push(period)
        }
    }

    StackView {
        id: stack
        anchors.fill: parent
        anchors.bottomMargin: keyboard.height
        initialItem: Item {}
    }

    InputPanel {
        id: keyboard
        anchors.bottom: parent.bottom
        width: parent.width
    }

    Component {
        id: eventComponent
        QtObject {
            property string name
            property string description
            property date timestamp
        }
    }

    Component {
        id: ethernetConfigPage
        EthernetConfig {}
    }

    Component {
        id: eventLogPage
        EventLog {}
    }

    TestCase {
        name: "SettingsPages"
        when: windowShown

        function test_colourRules_data() {
            return [{
                        "tag": "diagnostics not run",
                        "rule": Checks.diagnosticsColour,
                        "value": "",
                        "colour": "grey"
                    }, {
                        "tag": "diagnostics ok",
                        "rule": Checks.diagnosticsColour,
                        "value": "OK",
                        "colour": "green"
                    }, {
                        "tag": "diagnostics error inside a text",
                        "rule": Checks.diagnosticsColour,
                        "value": "TIMEOUT ERROR",
                        "colour": "red"
                    }, {
                        "tag": "diagnostics missing",
                        "rule": Checks.diagnosticsColour,
                        "value": "MISSING",
                        "colour": "amber"
                    }, {
                        "tag": "state connected",
                        "rule": Checks.connectionStateColour,
                        "value": "Connected",
                        "colour": "green"
                    }, {
                        "tag": "state disconnected",
                        "rule": Checks.connectionStateColour,
                        "value": "Disconnected",
                        "colour": "red"
                    }, {
                        "tag": "state connecting",
                        "rule": Checks.connectionStateColour,
                        "value": "Connecting",
                        "colour": "amber"
                    }, {
                        "tag": "connectivity full",
                        "rule": Checks.connectivityColour,
                        "value": "Full",
                        "colour": "green"
                    }, {
                        "tag": "connectivity portal",
                        "rule": Checks.connectivityColour,
                        "value": "Portal",
                        "colour": "amber"
                    }, {
                        "tag": "connectivity limited",
                        "rule": Checks.connectivityColour,
                        "value": "Limited",
                        "colour": "amber"
                    }, {
                        "tag": "connectivity none",
                        "rule": Checks.connectivityColour,
                        "value": "None",
                        "colour": "red"
                    }, {
                        "tag": "update disconnected",
                        "rule": Checks.updateStatusColour,
                        "value": "Disconnected",
                        "colour": "red"
                    }, {
                        "tag": "update ready",
                        "rule": Checks.updateStatusColour,
                        "value": "Ready to install",
                        "colour": "green"
                    }, {
                        "tag": "update installing",
                        "rule": Checks.updateStatusColour,
                        "value": "Installing",
                        "colour": "amber"
                    }, {
                        "tag": "update up to date",
                        "rule": Checks.updateStatusColour,
                        "value": "Up to date",
                        "colour": ""
                    }]
        }

        function test_colourRules(data) {
            compare(data.rule(data.value), data.colour)
        }

        function test_installOnlyWhenReady() {
            verify(Checks.canInstall("Ready to install"))
            verify(!Checks.canInstall("ready to install"))
            verify(!Checks.canInstall("Ready to install "))
            verify(!Checks.canInstall(""))
        }

        function cleanup() {
            while (stack.depth > 1)
                stack.pop(null, StackView.Immediate)
            tryCompare(stack, "busy", false)
            var ethernet = network.ethernet
            ethernet.method = "auto"
            ethernet.saves = 0
            ethernet.answer = ""
            ethernet.asked = null
            ethernet.config.address = "192.168.1.20"
            ethernet.config.mask = "255.255.255.0"
            ethernet.config.gateway = ""
            ethernet.config.dns0 = ""
            eventLogManager.data = []
        }

        function openConfig() {
            var page = stack.push(ethernetConfigPage, {}, StackView.Immediate)
            verify(page)
            compare(stack.depth, 2)
            return page
        }

        function chooseManual(page) {
            mouseClick(page.modeBox)
            tryCompare(page.modeBox.popup, "opened", true)
            var list = page.modeBox.popup.contentItem
            tryCompare(list, "count", 2)
            tryVerify(function () {
                return list.itemAtIndex(1) !== null
            })
            mouseClick(list.itemAtIndex(1))
            tryCompare(page.modeBox.popup, "visible", false)
            compare(page.modeBox.currentText, "manual")
        }

        // Taps the field and types over its text on the on-screen keyboard.
        function typeInto(field, text) {
            mouseClick(field)
            verify(field.activeFocus)
            field.selectAll()
            for (var i = 0; i < text.length; ++i)
                keyboard.press(text[i])
        }

        function test_refusedConfigurationShowsTheCheckAndSendsNothing() {
            var page = openConfig()
            chooseManual(page)
            compare(network.ethernet.method, "manual")
            typeInto(page.fields.gateway, "10.0.9.1")
            network.ethernet.answer = "GatewayUnreachable"
            mouseClick(findChild(page, "saveButton"))
            // The check is asked with the keys the proxy stores.
            compare(network.ethernet.asked.method, "manual")
            compare(network.ethernet.asked.fields.netmask, "255.255.255.0")
            compare(network.ethernet.asked.fields.gateway, "10.0.9.1")
            tryCompare(page.infoPopup, "opened", true)
            compare(page.infoPopup.text, "IPv4 gateway is not in the address's network")
            compare(network.ethernet.saves, 0)
            compare(network.ethernet.config.gateway, "")
            compare(stack.depth, 2)
            page.infoPopup.close()
        }

        function test_manualSaveWritesFieldsAndPops() {
            var page = openConfig()
            chooseManual(page)
            typeInto(page.fields.address, "10.1.2.3")
            typeInto(page.fields.dns0, "10.1.2.254")
            keyboard.press("\u23ce")
            mouseClick(findChild(page, "saveButton"))
            compare(network.ethernet.saves, 1)
            compare(network.ethernet.config.address, "10.1.2.3")
            compare(network.ethernet.config.mask, "255.255.255.0")
            compare(network.ethernet.config.dns0, "10.1.2.254")
            tryCompare(stack, "depth", 1)
        }

        function test_reportKeepsWhatWasTyped() {
            var page = openConfig()
            chooseManual(page)
            typeInto(page.fields.address, "10.1.2.3")
            // A report of the service: one value changed under the edit, one elsewhere.
            network.ethernet.config.address = "192.168.1.30"
            network.ethernet.config.gateway = "192.168.1.254"
            network.ethernet.configChanged()
            compare(page.fields.address.text, "10.1.2.3")
            compare(page.fields.gateway.text, "192.168.1.254")
            compare(page.fields.mask.text, "255.255.255.0")
            var notes = findChild(page, "notes")
            verify(notes.visible)
            verify(notes.text.indexOf("IPV4 Address") >= 0, notes.text)
            verify(notes.text.indexOf("192.168.1.30") >= 0, notes.text)
            // A mode report does not undo the technician's choice either.
            network.ethernet.method = "auto"
            compare(page.modeBox.currentText, "manual")
            mouseClick(findChild(page, "saveButton"))
            compare(network.ethernet.saves, 1)
            compare(network.ethernet.method, "manual")
            compare(network.ethernet.config.address, "10.1.2.3")
            compare(network.ethernet.config.gateway, "192.168.1.254")
        }

        function test_backKeepsChosenModeWithoutSending() {
            var page = openConfig()
            chooseManual(page)
            page.back()
            tryCompare(stack, "depth", 1)
            compare(network.ethernet.method, "manual")
            compare(network.ethernet.saves, 0)
            // Opened again, the page shows the mode the proxy kept.
            compare(openConfig().modeBox.currentText, "manual")
        }

        function test_fieldsOnlyEditableInManualMode() {
            var page = openConfig()
            verify(!page.fields.address.enabled)
            chooseManual(page)
            verify(page.fields.address.enabled)
            verify(page.fields.dns1.enabled)
        }

        function test_finishedEditTurnsBadAddressRed() {
            var page = openConfig()
            chooseManual(page)
            var field = page.fields.gateway
            var normal = String(field.color)
            typeInto(field, "10.0.0.300")
            keyClick(Qt.Key_Return)
            verify(!field.valid)
            verify(String(field.color) !== normal)
            keyboard.press("\u232b")
            verify(field.valid)
            compare(String(field.color), normal)
        }

        function test_eventRowsOfferNoDelete() {
            eventLogManager.data = [eventComponent.createObject(window, {
                                                                    "name": "Ignition off",
                                                                    "description": "Ignition turned off",
                                                                    "timestamp": new Date()
                                                                })]
            var page = stack.push(eventLogPage, {}, StackView.Immediate)
            tryCompare(page.list, "count", 1)
            var row = page.list.itemAtIndex(0)
            mouseClick(row, 100, 10)
            verify(row.expanded)
            compare(findChild(row, "deleteButton").visible, false)
        }

        function test_eventLogFilterWiring() {
            eventLogManager.names = []
            eventLogManager.periods = []
            var page = stack.push(eventLogPage, {}, StackView.Immediate)
            // The list starts from what the controls show, whatever was chosen before.
            compare(eventLogManager.names, [""])
            compare(eventLogManager.periods, ["All history"])
            page.searchField.text = "Igni"
            page.searchField.text = "Ignition"
            page.clearSearch()
            compare(eventLogManager.names, ["", "Igni", "Ignition", ""])
            page.historyBox.currentIndex = 3
            page.historyBox.activated(3)
            compare(eventLogManager.periods, ["All history", "Today"])
        }
    }
}
