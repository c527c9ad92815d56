import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../../controls"
import "PageChecks.js" as Checks

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
    property alias infoPopup: info
    property alias modeBox: modeBox

    function text(value) {
        return value === undefined || value === null ? "" : String(value)
    }

    // Returns true when the configuration was handed to the proxy.
    function save() {
        Qt.inputMethod.hide()
        var values = {}
        for (var key in fields) {
            values[key] = fields[key].text
            // Show which fields are wrong, whether or not their edit was finished.
            fields[key].valid = Checks.isAddressValid(values[key])
        }
        var error = Checks.ethernetConfigError(manual ? "manual" : "auto", values)
        if (error !== "") {
            info.text = qsTranslate("EthernetConfig", error)
            info.open()
            return false
        }
        if (!root.ethernet)
            return false
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
        contentHeight: form.height + 40
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
                    text: manager.dynTr + qsTr("Mode")
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                ComboBox {
                    id: modeBox
                    objectName: "modeBox"
                    width: grid.fieldWidth
                    model: ["auto", "manual"]
                    currentIndex: root.ethernet && root.ethernet.method === "auto" ? 0 : 1
                    // The proxy keeps the choice until the service reports another.
                    onActivated: {
                        if (root.ethernet)
                            root.ethernet.method = model[index]
                    }
                }

                Label {
                    width: grid.labelWidth
                    text: manager.dynTr + qsTr("IPV4 Address")
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: addressField
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "addressField"
                    text: root.config ? root.text(root.config.address) : ""
                }
                Label {
                    width: grid.labelWidth
                    text: manager.dynTr + qsTr("IPV4 Netmask")
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: maskField
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "maskField"
                    text: root.config ? root.text(root.config.mask) : ""
                }
                Label {
                    width: grid.labelWidth
                    text: manager.dynTr + qsTr("IPV4 Gateway")
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: gatewayField
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "gatewayField"
                    text: root.config ? root.text(root.config.gateway) : ""
                }
                Label {
                    width: grid.labelWidth
                    text: manager.dynTr + qsTr("DNS #0")
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: dns0Field
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "dns0Field"
                    text: root.config ? root.text(root.config.dns0) : ""
                }
                Label {
                    width: grid.labelWidth
                    text: manager.dynTr + qsTr("DNS #1")
                    font.pixelSize: 17
                    wrapMode: Text.WordWrap
                }
                AddressField {
                    id: dns1Field
                    width: grid.fieldWidth
                    enabled: root.manual
                    objectName: "dns1Field"
                    text: root.config ? root.text(root.config.dns1) : ""
                }
            }
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
    }
}
