import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "SettingsLogic.js" as Logic

// Stored configuration of the wired interface. The fields are edited here
// and only reach the proxy, and through it the service, on Save.
Item {
    id: root
    objectName: "ethernetConfig"

    readonly property var ethernet: network.ethernet
    readonly property var config: ethernet ? ethernet.config : null
    readonly property bool manual: modeBox.currentIndex === 1
    readonly property var fields: ({
                                       "address": addressField,
                                       "mask": maskField,
                                       "gateway": gatewayField,
                                       "dns0": dns0Field,
                                       "dns1": dns1Field
                                   })
    // The proxy's values; any report of the service rebuilds this object.
    readonly property var stored: ({
                                       "method": ethernet && ethernet.method === "auto" ? "auto" : "manual",
                                       "address": config ? text(config.address) : "",
                                       "mask": config ? text(config.mask) : "",
                                       "gateway": config ? text(config.gateway) : "",
                                       "dns0": config ? text(config.dns0) : "",
                                       "dns1": config ? text(config.dns1) : ""
                                   })
    readonly property var shown: ({
                                      "method": modeBox.currentText,
                                      "address": addressField.text,
                                      "mask": maskField.text,
                                      "gateway": gatewayField.text,
                                      "dns0": dns0Field.text,
                                      "dns1": dns1Field.text
                                  })
    readonly property var labels: ({
                                       "method": manager.dynTr + qsTr("Mode"),
                                       "address": manager.dynTr + qsTr("IPV4 Address"),
                                       "mask": manager.dynTr + qsTr("IPV4 Netmask"),
                                       "gateway": manager.dynTr + qsTr("IPV4 Gateway"),
                                       "dns0": manager.dynTr + qsTr("DNS #0"),
                                       "dns1": manager.dynTr + qsTr("DNS #1")
                                   })
    // As on the validator form: what was taken in, what the technician
    // changed, and which changes a report has overtaken.
    property var taken: ({})
    property var touched: ({})
    property var clashes: []
    readonly property var notes: {
        var list = []
        for (var i = 0; i < clashes.length; ++i)
            list.push(manager.dynTr + qsTr("%1 was changed elsewhere to \"%2\" while you edited it; Save keeps your value.").arg(
                          labels[clashes[i]]).arg(stored[clashes[i]]))
        return list
    }
    // The problem the last Save was refused for, by the check's name for it.
    property string problem: ""
    property alias infoPopup: info
    property alias modeBox: modeBox

    function text(value) {
        return value === undefined || value === null ? "" : String(value)
    }

    // The check's answers as messages; kept as literals so the translation
    // tool sees every one.
    function problemText(problem) {
        switch (problem) {
        case "AddressEmpty":
            return qsTr("IPv4 address cannot be empty in 'manual' mode")
        case "MaskEmpty":
            return qsTr("IPv4 netmask cannot be empty in 'manual' mode")
        case "AddressInvalid":
            return qsTr("IPv4 address is not a valid IP address")
        case "MaskInvalid":
            return qsTr("IPv4 netmask is not a valid IP address")
        case "MaskNotContiguous":
            return qsTr("IPv4 netmask is not a valid network mask")
        case "GatewayInvalid":
            return qsTr("IPv4 gateway is not a valid IP address")
        case "GatewayUnreachable":
            return qsTr("IPv4 gateway is not in the address's network")
        case "Dns0Invalid":
            return qsTr("IPv4 DNS #0 is not a valid IP address")
        case "Dns1Invalid":
            return qsTr("IPv4 DNS #1 is not a valid IP address")
        }
        return problem
    }

    // Set while the page itself fills fields, so only other changes count as
    // the technician's (the keyboard may change a text without key events).
    property bool filling: true

    function touch(key) {
        if (filling || touched[key])
            return
        var copy = Object.assign({}, touched)
        copy[key] = true
        touched = copy
    }

    function put(key, value) {
        if (key === "method")
            modeBox.currentIndex = value === "auto" ? 0 : 1
        else
            fields[key].text = value
    }

    function takeStored() {
        filling = true
        var result = Logic.reconcile(taken, stored, shown, touched)
        for (var i = 0; i < result.take.length; ++i)
            put(result.take[i], stored[result.take[i]])
        var kept = []
        for (var j = 0; j < clashes.length; ++j) {
            if (result.clashes.indexOf(clashes[j]) < 0 && !Logic.same(shown[clashes[j]], stored[clashes[j]]))
                kept.push(clashes[j])
        }
        clashes = kept.concat(result.clashes)
        taken = Object.assign({}, stored)
        filling = false
    }

    // Before completion the controls are not yet in their final state (a spin
    // box clamps its value only then), so the first fill waits for it.
    onStoredChanged: {
        if (!filling)
            takeStored()
    }
    Component.onCompleted: {
        takeStored()
    }

    // Returns true when the configuration was handed to the proxy.
    function save() {
        Qt.inputMethod.hide()
        if (!root.ethernet)
            return false
        var mode = manual ? "manual" : "auto"
        var values = {}
        for (var key in fields) {
            values[key] = fields[key].text
            // Show which fields are wrong, whether or not their edit was finished.
            fields[key].valid = root.ethernet.isAddress(values[key])
        }
        problem = root.ethernet.check(mode, {
                                          "address": values.address,
                                          "netmask": values.mask,
                                          "gateway": values.gateway,
                                          "dns0": values.dns0,
                                          "dns1": values.dns1
                                      })
        if (problem !== "") {
            info.open()
            return false
        }
        // A report may have changed the proxy's method since it was chosen here.
        root.ethernet.method = mode
        root.config.address = values.address
        root.config.mask = values.mask
        root.config.gateway = values.gateway
        root.config.dns0 = values.dns0
        root.config.dns1 = values.dns1
        root.ethernet.save()
        if (root.StackView.view)
            root.StackView.view.pop()
        return true
    }

    function back() {
        Qt.inputMethod.hide()
        if (root.StackView.view)
            root.StackView.view.pop()
    }

    Flickable {
        id: flick
        anchors.fill: parent
        anchors.bottomMargin: buttons.height + 30
        contentHeight: form.height + 40 + (notes.visible ? notes.height + 10 : 0)
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        GroupBox {
            id: form
            x: 20
            y: 20
            width: flick.width - 40
            title: manager.dynTr + qsTr("Ethernet Configuration")
            font.family: "DejaVu Sans"
            font.pixelSize: 18

            Grid {
                id: grid
                width: parent.width
                columns: 2
                rowSpacing: 6
                columnSpacing: 10
                verticalItemAlignment: Grid.AlignVCenter

                readonly property real labelWidth: width * 0.4
                readonly property real fieldWidth: width - labelWidth - columnSpacing

                Label {
                    width: grid.labelWidth
                    text: root.labels.method
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                ComboBox {
                    id: modeBox
                    objectName: "modeBox"
                    width: grid.fieldWidth
                    model: ["auto", "manual"]
                    // The proxy keeps the choice until the service reports another.
                    onActivated: {
                        root.touch("method")
                        if (root.ethernet)
                            root.ethernet.method = model[index]
                    }
                }

                Label {
                    width: grid.labelWidth
                    text: root.labels.address
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: addressField
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "addressField"
                    onTextChanged: root.touch("address")
                }
                Label {
                    width: grid.labelWidth
                    text: root.labels.mask
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: maskField
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "maskField"
                    onTextChanged: root.touch("mask")
                }
                Label {
                    width: grid.labelWidth
                    text: root.labels.gateway
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: gatewayField
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "gatewayField"
                    onTextChanged: root.touch("gateway")
                }
                Label {
                    width: grid.labelWidth
                    text: root.labels.dns0
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: dns0Field
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "dns0Field"
                    onTextChanged: root.touch("dns0")
                }
                Label {
                    width: grid.labelWidth
                    text: root.labels.dns1
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: dns1Field
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "dns1Field"
                    onTextChanged: root.touch("dns1")
                }
            }
        }

        Label {
            id: notes
            objectName: "notes"
            x: form.x
            y: form.y + form.height + 10
            width: form.width
            visible: root.notes.length > 0
            text: root.notes.join("\n")
            color: Material.color(Material.Amber)
            font.family: "DejaVu Sans"
            font.pixelSize: 15
            wrapMode: Text.WordWrap
        }
    }

    Row {
        id: buttons
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 20
        spacing: 40

        CustomButton {
            objectName: "backButton"
            width: 180
            height: 60
            radius: 4
            color: Material.color(Material.Grey, Material.Shade700)
            textColor: Material.foreground
            textBold: true
            textFontPointSize: 14
            text: manager.dynTr + qsTr("Back")
            onClicked: root.back()
        }
        CustomButton {
            objectName: "saveButton"
            width: 180
            height: 60
            radius: 4
            color: Material.accent
            textColor: Material.foreground
            textBold: true
            textFontPointSize: 14
            text: manager.dynTr + qsTr("Save")
            onClicked: root.save()
        }
    }

    CustomPopup {
        id: info
        objectName: "infoPopup"
        parent: root
        language: manager.language
        text: manager.dynTr + root.problemText(root.problem)
    }
}
