import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// Modal message box; in dialog mode it asks Yes or No and never closes by itself.
Popup {
    id: root

    signal buttonYesPressed
    signal buttonNoPressed

    property bool isDialog: false
    property string text
    property string imageSource: ""
    property size imageSize: Qt.size(200, 200)
    property int windowWidth: 400
    property int windowHeight: 200 + (imageSource !== "" ? 100 : 0)
    // Bound by the owner to the current language. The button texts read it,
    // so they are translated again whenever it changes.
    property string language

    function translated(text) {
        void language
        return text
    }

    modal: true
    focus: true
    width: windowWidth
    height: windowHeight
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: 12
    closePolicy: isDialog ? Popup.NoAutoClose : Popup.CloseOnReleaseOutside

    Overlay.modal: Rectangle {
        color: "#99000000"
    }

    background: Rectangle {
        color: root.Material.background
        border.color: root.Material.accent
        border.width: 2
        radius: 4
    }

    contentItem: Item {
        MouseArea {
            anchors.fill: parent
            enabled: !root.isDialog
            onClicked: root.close()
        }

        Label {
            id: message
            anchors.top: parent.top
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: image.visible ? image.top : (buttons.visible ? buttons.top : parent.bottom)
            anchors.bottomMargin: 10
            text: root.text
            font.family: "DejaVu Sans"
            font.pointSize: 10
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            wrapMode: Text.WordWrap
            clip: true
        }

        Image {
            id: image
            visible: root.imageSource !== ""
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: buttons.visible ? buttons.top : parent.bottom
            anchors.bottomMargin: 10
            width: root.imageSize.width
            height: visible ? Math.min(root.imageSize.height, parent.height / 2) : 0
            sourceSize: root.imageSize
            fillMode: Image.PreserveAspectFit
            source: root.imageSource
        }

        Row {
            id: buttons
            visible: root.isDialog
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 3
            spacing: 60

            CustomButton {
                objectName: "yesButton"
                width: 100
                height: 40
                radius: 4
                color: root.Material.accent
                textColor: root.Material.foreground
                textBold: true
                textFontPointSize: 16
                textLetterSpacing: 1.2
                text: root.translated(qsTr("Yes"))
                onClicked: {
                    root.buttonYesPressed()
                    root.close()
                }
            }

            CustomButton {
                objectName: "noButton"
                width: 100
                height: 40
                radius: 4
                color: root.Material.accent
                textColor: root.Material.foreground
                textBold: true
                textFontPointSize: 16
                textLetterSpacing: 1.2
                text: root.translated(qsTr("No"))
                onClicked: {
                    root.buttonNoPressed()
                    root.close()
                }
            }
        }
    }
}
