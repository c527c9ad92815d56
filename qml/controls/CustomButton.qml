import QtQuick 2.15

// Rectangle button with an optional icon, a ripple from the press point, an
// optional press scale and an optional drop shadow.
Item {
    id: root

    signal clicked
    signal pressed
    signal released

    property string text
    property color color: "#f3f3f3"
    property real radius: 0
    property color borderColor: "transparent"
    property real borderWidth: 0
    property color textColor: "black"
    property url icon
    property color iconColor: textColor
    property size iconSize: Qt.size(32, 32)
    property bool flat: true

    property bool scaleAnimationEnabled: false
    property real scaleAnimation: 0.9
    property bool fillAnimationEnabled: true
    property color fillColor: color
    property int fillAnimationDuration: 300

    property int textHAlignment: Text.AlignHCenter
    property int textVAlignment: Text.AlignVCenter
    property real textFontPointSize: 12
    property int textFontPixelSize: -1
    property bool textBold: false
    property bool textItalic: false
    property string textFontFamily: "DejaVu Sans"
    property int textFontWeight: textBold ? Font.Bold : Font.Normal
    property real textLetterSpacing: 0
    property int textWrapMode: Text.WordWrap
    property real textOpacity: 1.0
    property int textStyle: Text.Normal
    property color textStyleColor: "transparent"
    property real textLineHeight: 1.0
    property int textFormat: Text.AutoText
    property real textFontWordSpacing: 0

    readonly property bool down: mouseArea.pressed
    readonly property bool hasIcon: icon.toString() !== ""

    implicitWidth: 100
    implicitHeight: 60
    width: implicitWidth
    height: implicitHeight
    opacity: enabled ? 1.0 : 0.45
    scale: scaleAnimationEnabled && down ? scaleAnimation : 1.0

    Behavior on scale {
        NumberAnimation {
            duration: 80
        }
    }

    // Made only for a button that shows one: a number pad's flat keys would
    // otherwise each carry a shadow's whole off-screen machinery for nothing.
    ButtonShadow {
        anchors.fill: background
        active: !root.flat
        visible: !root.down
        source: background
        radius: root.radius
    }

    Rectangle {
        id: background
        anchors.fill: parent
        color: root.color
        radius: root.radius
        border.color: root.borderColor
        border.width: root.borderWidth
    }

    Item {
        id: rippleArea
        anchors.fill: parent
        anchors.margins: root.borderWidth
        clip: true

        Rectangle {
            id: ripple
            property real size: 0
            property real centreX: 0
            property real centreY: 0
            x: centreX - size / 2
            y: centreY - size / 2
            width: size
            height: size
            radius: size / 2
            color: Qt.darker(root.fillColor, 1.5)
            visible: rippleAnimation.running
        }

        NumberAnimation {
            id: rippleAnimation
            target: ripple
            property: "size"
            from: 0
            to: 3 * Math.max(root.width, root.height)
            duration: root.fillAnimationDuration
        }
    }

    Item {
        id: iconArea
        visible: root.hasIcon
        width: root.width * 0.35
        height: root.height

        TintedIcon {
            id: iconImage
            anchors.centerIn: parent
            anchors.horizontalCenterOffset: 10
            width: root.iconSize.width
            height: root.iconSize.height
            sourceSize: root.iconSize
            icon: root.icon
            color: root.iconColor
            fillMode: Image.PreserveAspectFit
        }
    }

    Text {
        id: label
        anchors.fill: parent
        anchors.leftMargin: root.hasIcon ? iconArea.width : 0
        text: root.text
        color: root.textColor
        opacity: root.textOpacity
        horizontalAlignment: root.textHAlignment
        verticalAlignment: root.textVAlignment
        wrapMode: root.textWrapMode
        style: root.textStyle
        styleColor: root.textStyleColor
        lineHeight: root.textLineHeight
        textFormat: root.textFormat
        font.family: root.textFontFamily
        font.bold: root.textBold
        font.italic: root.textItalic
        font.weight: root.textFontWeight
        font.letterSpacing: root.textLetterSpacing
        font.wordSpacing: root.textFontWordSpacing
        Component.onCompleted: {
            // A pixel size, when given, wins over the point size.
            if (root.textFontPixelSize > 0)
                font.pixelSize = Qt.binding(function () {
                    return root.textFontPixelSize
                })
            else
                font.pointSize = Qt.binding(function () {
                    return root.textFontPointSize
                })
        }
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onPressed: {
            if (root.fillAnimationEnabled) {
                rippleAnimation.stop()
                ripple.centreX = mouse.x - root.borderWidth
                ripple.centreY = mouse.y - root.borderWidth
                rippleAnimation.start()
            }
            root.pressed()
        }
        onReleased: root.released()
        onCanceled: root.released()
        onClicked: root.clicked()
    }
}
