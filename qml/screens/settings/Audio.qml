import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "SettingsLogic.js" as Logic

// Sound on or off, and the volume with a sample on release.
SettingsPage {
    id: root

    readonly property string sampleSound: "/opt/vorn/tallyport/Valid.wav"
    readonly property alias audioSwitch: audioSwitch
    readonly property alias volumeSlider: volumeSlider

    // The sample plays first, so the technician hears the volume change land.
    function volumeReleased(value) {
        inspector.audioPlay(sampleSound)
        inspector.setAudioVolume(Math.round(value))
    }

    RowLayout {
        width: parent.width

        FieldLabel {
            Layout.fillWidth: true
            text: manager.dynTr + qsTr("Audio Enabled")
        }
        Switch {
            id: audioSwitch
            objectName: "audioSwitch"
            checked: board.audioEnabled
            onToggled: board.setAudioEnabled(checked)
        }
    }

    ColumnLayout {
        width: parent.width
        enabled: audioSwitch.checked
        opacity: enabled ? 1.0 : 0.45

        RowLayout {
            Layout.fillWidth: true
            FieldLabel {
                Layout.fillWidth: true
                text: manager.dynTr + qsTr("Audio Volume")
            }
            Label {
                objectName: "volumeText"
                text: Logic.percentText(volumeSlider.value)
                font.family: "DejaVu Sans"
                font.pixelSize: 17
                font.bold: true
            }
        }
        Slider {
            id: volumeSlider
            objectName: "volumeSlider"
            Layout.fillWidth: true
            from: 0
            to: 100
            stepSize: 1
            value: inspector.audioVolume
            onPressedChanged: {
                if (!pressed)
                    root.volumeReleased(value)
            }
        }
    }
}
