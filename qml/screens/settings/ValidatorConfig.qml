import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../../controls"
import "SettingsLogic.js" as Logic

// Validator settings and the two controller settings that go with them.
// Nothing is written until Save.
SettingsPage {
    id: root

    readonly property var config: validatorManager.config
    readonly property var stored: ({
                                       "obuUrl": config ? String(config.obuUrl) : "",
                                       "passbackSecs": config ? config.passbackSecs : 0,
                                       "passbackQrEnabled": config ? config.passbackQrEnabled : false,
                                       "shutdownDelaySec": manager.shutdownDelaySec,
                                       "showErrorDesc": manager.showErrorDesc
                                   })
    // Labels, also used to name a field in the notes below the form.
    readonly property var labels: ({
                                       "obuUrl": manager.dynTr + qsTr("OBC URL"),
                                       "passbackSecs": manager.dynTr + qsTr("Passback Time (sec)"),
                                       "shutdownDelaySec": manager.dynTr + qsTr("Shutdown Delay (sec)"),
                                       "passbackQrEnabled": manager.dynTr + qsTr("QR Passback Enabled"),
                                       "showErrorDesc": manager.dynTr + qsTr("Show Error Description")
                                   })
    // What the controls show; a spin box's typed text counts before it is
    // committed (Save takes no focus, so nothing would commit it).
    readonly property var shown: ({
                                      "obuUrl": urlField.text,
                                      "passbackSecs": Logic.spinBoxShown(passbackBox),
                                      "passbackQrEnabled": qrSwitch.checked,
                                      "shutdownDelaySec": Logic.spinBoxShown(shutdownBox),
                                      "showErrorDesc": errorDescSwitch.checked
                                  })
    // The stored values the form last took in, the fields the technician
    // changed, and those whose stored value changed underneath an edit.
    property var taken: ({})
    property var touched: ({})
    property var clashes: []
    readonly property bool numbersValid: !isNaN(shown.passbackSecs) && !isNaN(shown.shutdownDelaySec)
    readonly property bool changed: numbersValid && Logic.editedKeys(stored, shown, touched).length > 0
    readonly property var notes: {
        var list = []
        var boxes = {
            "passbackSecs": passbackBox,
            "shutdownDelaySec": shutdownBox
        }
        for (var key in boxes) {
            var value = Number(stored[key])
            if (value < boxes[key].from || value > boxes[key].to)
                list.push(manager.dynTr + qsTr("%1: the stored value %2 is outside %3 to %4.").arg(labels[key]).arg(
                              stored[key]).arg(boxes[key].from).arg(boxes[key].to))
        }
        for (var i = 0; i < clashes.length; ++i)
            list.push(manager.dynTr + qsTr("%1 was changed elsewhere to \"%2\" while you edited it; Save keeps your value.").arg(
                          labels[clashes[i]]).arg(stored[clashes[i]]))
        return list
    }
    readonly property alias urlField: urlField
    readonly property alias passbackBox: passbackBox
    readonly property alias shutdownBox: shutdownBox
    readonly property alias qrSwitch: qrSwitch
    readonly property alias errorDescSwitch: errorDescSwitch

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
        switch (key) {
        case "obuUrl":
            urlField.text = value
            break
        case "passbackSecs":
            passbackBox.value = value
            break
        case "shutdownDelaySec":
            shutdownBox.value = value
            break
        case "passbackQrEnabled":
            qrSwitch.checked = value
            break
        case "showErrorDesc":
            errorDescSwitch.checked = value
            break
        }
    }

    // Takes stored values into the fields the technician has not edited.
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

    // Enter in a spin box's text: take the typed number as its value.
    function commit(box) {
        var value = Logic.spinBoxShown(box)
        if (!isNaN(value))
            box.value = value
        Qt.inputMethod.hide()
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

    function save() {
        if (!changed)
            return
        Qt.inputMethod.hide()
        var values = shown
        passbackBox.value = values.passbackSecs
        shutdownBox.value = values.shutdownDelaySec
        config.obuUrl = values.obuUrl
        config.passbackSecs = values.passbackSecs
        config.passbackQrEnabled = values.passbackQrEnabled
        validatorManager.saveConfig()
        manager.shutdownDelaySec = values.shutdownDelaySec
        manager.showErrorDesc = values.showErrorDesc
        StackView.view.pop()
    }

    function back() {
        Qt.inputMethod.hide()
        validatorManager.refreshConfig()
        StackView.view.pop()
    }

    GridLayout {
        width: parent.width
        columns: 2
        columnSpacing: 12
        rowSpacing: 10

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: root.labels.obuUrl
        }
        TextField {
            id: urlField
            objectName: "urlField"
            Layout.fillWidth: true
            font.family: "DejaVu Sans"
            font.pixelSize: 16
            inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoPredictiveText
            onTextChanged: root.touch("obuUrl")
            onAccepted: Qt.inputMethod.hide()
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: root.labels.passbackSecs
        }
        SpinBox {
            id: passbackBox
            objectName: "passbackBox"
            Layout.fillWidth: true
            editable: true
            from: 0
            to: 86400
            stepSize: 1
            font.family: "DejaVu Sans"
            onValueModified: root.touch("passbackSecs")

            Connections {
                target: passbackBox.contentItem
                ignoreUnknownSignals: true
                function onTextChanged() {
                    root.touch("passbackSecs")
                }
                function onAccepted() {
                    root.commit(passbackBox)
                }
            }
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: root.labels.shutdownDelaySec
            tip: manager.dynTr + qsTr("The delay, in seconds, after which the system\n"
                                      + "will start the shutdown sequence, providing that\n"
                                      + "the ignition has been turned off (max=900 sec).")
        }
        SpinBox {
            id: shutdownBox
            objectName: "shutdownBox"
            Layout.fillWidth: true
            editable: true
            from: 5
            to: 900
            stepSize: 5
            font.family: "DejaVu Sans"
            onValueModified: root.touch("shutdownDelaySec")

            Connections {
                target: shutdownBox.contentItem
                ignoreUnknownSignals: true
                function onTextChanged() {
                    root.touch("shutdownDelaySec")
                }
                function onAccepted() {
                    root.commit(shutdownBox)
                }
            }
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: root.labels.passbackQrEnabled
        }
        Switch {
            id: qrSwitch
            objectName: "qrSwitch"
            Layout.alignment: Qt.AlignRight
            onToggled: root.touch("passbackQrEnabled")
        }

        FieldLabel {
            Layout.preferredWidth: root.innerWidth * 0.45
            text: root.labels.showErrorDesc
            tip: manager.dynTr + qsTr("If enabled, a full error description will\n"
                                      + "be displayed in the 'Out-of-Order' screen\n" + "instead of just an error code.")
        }
        Switch {
            id: errorDescSwitch
            objectName: "errorDescSwitch"
            Layout.alignment: Qt.AlignRight
            onToggled: root.touch("showErrorDesc")
        }
    }

    Label {
        objectName: "notes"
        width: parent.width
        visible: root.notes.length > 0
        text: root.notes.join("\n")
        color: Material.color(Material.Amber)
        font.family: "DejaVu Sans"
        font.pixelSize: 15
        wrapMode: Text.WordWrap
    }

    Row {
        width: parent.width
        spacing: 20
        topPadding: 20

        CustomButton {
            objectName: "backButton"
            width: (parent.width - parent.spacing) / 2
            height: 60
            radius: 4
            flat: false
            color: "#5a5a5a"
            textColor: "white"
            textBold: true
            textFontPointSize: 14
            text: manager.dynTr + qsTr("Back")
            onClicked: root.back()
        }
        CustomButton {
            objectName: "saveButton"
            width: (parent.width - parent.spacing) / 2
            height: 60
            radius: 4
            flat: false
            enabled: root.changed
            color: root.Material.accent
            textColor: "white"
            textBold: true
            textFontPointSize: 14
            text: manager.dynTr + qsTr("Save")
            onClicked: root.save()
        }
    }
}
