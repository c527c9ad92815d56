import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
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
        initialItem: Item {}
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

        function test_addressCheck_data() {
            return [{
                        "tag": "empty",
                        "text": "",
                        "valid": true
                    }, {
                        "tag": "private",
                        "text": "192.168.1.20",
                        "valid": true
                    }, {
                        "tag": "zeros and limits",
                        "text": "0.0.0.0",
                        "valid": true
                    }, {
                        "tag": "broadcast",
                        "text": "255.255.255.255",
                        "valid": true
                    }, {
                        "tag": "256",
                        "text": "192.168.1.256",
                        "valid": false
                    }, {
                        "tag": "leading zero",
                        "text": "192.168.01.1",
                        "valid": false
                    }, {
                        "tag": "three numbers",
                        "text": "10.0.1",
                        "valid": false
                    }, {
                        "tag": "five numbers",
                        "text": "10.0.0.1.2",
                        "valid": false
                    }, {
                        "tag": "trailing dot",
                        "text": "10.0.0.1.",
                        "valid": false
                    }, {
                        "tag": "no dots",
                        "text": "1234",
                        "valid": false
                    }, {
                        "tag": "blank inside",
                        "text": "10.0. 0.1",
                        "valid": false
                    }, {
                        "tag": "host name",
                        "text": "gateway.local",
                        "valid": false
                    }]
        }

        function test_addressCheck(data) {
            compare(Checks.isAddressValid(data.text), data.valid)
        }

        function test_configCheck_data() {
            var good = {
                "address": "10.0.0.5",
                "mask": "255.0.0.0",
                "gateway": "",
                "dns0": "",
                "dns1": ""
            }
            function changed(key, value) {
                var fields = Object.assign({}, good)
                fields[key] = value
                return fields
            }
            return [{
                        "tag": "auto ignores the fields",
                        "mode": "auto",
                        "fields": changed("address", "x"),
                        "error": ""
                    }, {
                        "tag": "manual, gateway and DNS empty",
                        "mode": "manual",
                        "fields": good,
                        "error": ""
                    }, {
                        "tag": "address empty before netmask empty",
                        "mode": "manual",
                        "fields": Object.assign(changed("address", ""), {
                                                    "mask": ""
                                                }),
                        "error": "IPv4 address cannot be empty in 'manual' mode"
                    }, {
                        "tag": "netmask empty before a bad address",
                        "mode": "manual",
                        "fields": Object.assign(changed("address", "1.2.3.256"), {
                                                    "mask": ""
                                                }),
                        "error": "IPv4 netmask cannot be empty in 'manual' mode"
                    }, {
                        "tag": "address 256",
                        "mode": "manual",
                        "fields": changed("address", "10.0.0.256"),
                        "error": "IPv4 address is not a valid IP address"
                    }, {
                        "tag": "netmask",
                        "mode": "manual",
                        "fields": changed("mask", "255.0.0"),
                        "error": "IPv4 netmask is not a valid IP address"
                    }, {
                        "tag": "gateway",
                        "mode": "manual",
                        "fields": changed("gateway", "10.0.0.01"),
                        "error": "IPv4 gateway is not a valid IP address"
                    }, {
                        "tag": "DNS 0",
                        "mode": "manual",
                        "fields": changed("dns0", "8.8.8"),
                        "error": "IPv4 DNS #0 is not a valid IP address"
                    }, {
                        "tag": "DNS 1",
                        "mode": "manual",
                        "fields": changed("dns1", "dns.example"),
                        "error": "IPv4 DNS #1 is not a valid IP address"
                    }]
        }

        function test_configCheck(data) {
            compare(Checks.ethernetConfigError(data.mode, data.fields), data.error)
        }

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
            network.ethernet.method = "auto"
            network.ethernet.saves = 0
            network.ethernet.config.address = "192.168.1.20"
            network.ethernet.config.gateway = ""
        }

        function openConfig() {
            var page = stack.push(ethernetConfigPage, {}, StackView.Immediate)
            verify(page)
            compare(stack.depth, 2)
            return page
        }

        function test_manualModeRefusesBadAddressAndSendsNothing() {
            var page = openConfig()
            compare(page.modeBox.currentText, "auto")
            page.modeBox.currentIndex = 1
            page.modeBox.activated(1)
            compare(network.ethernet.method, "manual")
            page.fields.address.text = "192.168.1.256"
            verify(!page.save())
            compare(page.infoPopup.text, "IPv4 address is not a valid IP address")
            tryCompare(page.infoPopup, "opened", true)
            compare(network.ethernet.saves, 0)
            compare(network.ethernet.config.address, "192.168.1.20")
            compare(stack.depth, 2)
            page.infoPopup.close()
        }

        function test_manualSaveWritesFieldsAndPops() {
            var page = openConfig()
            page.modeBox.currentIndex = 1
            page.modeBox.activated(1)
            page.fields.address.text = "10.1.2.3"
            page.fields.gateway.text = ""
            page.fields.dns0.text = "10.1.2.254"
            verify(page.save())
            compare(network.ethernet.saves, 1)
            compare(network.ethernet.config.address, "10.1.2.3")
            compare(network.ethernet.config.mask, "255.255.255.0")
            compare(network.ethernet.config.dns0, "10.1.2.254")
            tryCompare(stack, "depth", 1)
        }

        function test_backKeepsChosenModeWithoutSending() {
            var page = openConfig()
            page.modeBox.currentIndex = 1
            page.modeBox.activated(1)
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
            page.modeBox.currentIndex = 1
            verify(page.fields.address.enabled)
            verify(page.fields.dns1.enabled)
        }

        function test_finishedEditTurnsBadAddressRed() {
            var page = openConfig()
            page.modeBox.currentIndex = 1
            var field = page.fields.gateway
            var normal = String(field.color)
            field.text = "10.0.0.300"
            field.editingFinished()
            verify(!field.valid)
            verify(String(field.color) !== normal)
            field.text = "10.0.0.30"
            field.editingFinished()
            verify(field.valid)
            compare(String(field.color), normal)
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
