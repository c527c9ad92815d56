import QtQuick 2.15

// A monochrome icon tinted at run time, centred in a box as wide as its layout.
// The tint is one shader pass over the icon's own texture, without the extra
// off-screen pass of a generic colour overlay, so a result screen's first frame
// stays cheap.
Item {
    id: root

    property url icon
    property size iconSize: Qt.size(250, 250)
    property color iconColor: "#41b987"
    readonly property alias status: image.status

    implicitWidth: iconSize.width
    implicitHeight: iconSize.height
    height: iconSize.height

    Image {
        id: image
        anchors.centerIn: parent
        width: root.iconSize.width
        height: root.iconSize.height
        source: root.icon
        sourceSize: root.iconSize
        fillMode: Image.PreserveAspectFit
        asynchronous: true
        smooth: true
        visible: false
    }

    ShaderEffect {
        anchors.fill: image
        visible: image.status === Image.Ready
        property variant source: image
        property color tint: root.iconColor
        fragmentShader: "
            varying highp vec2 qt_TexCoord0;
            uniform sampler2D source;
            uniform lowp vec4 tint;
            uniform lowp float qt_Opacity;
            void main() {
                gl_FragColor = tint * texture2D(source, qt_TexCoord0).a * qt_Opacity;
            }"
    }
}
