import QtQuick 2.15
import QtGraphicalEffects 1.0

// The shadow under a raised button, made only while one is wanted. With a GPU
// it is a soft shadow of the button's own shape, with the shape drawn again
// over it; the software renderer of a board without one runs no shaders, so
// there it is the shape in a translucent black, offset the same, and the shape
// again (a dimmed button looks the same on both).
Loader {
    id: root

    // The button's shape: a rectangle.
    property Rectangle source
    property real radius: 0

    sourceComponent: GraphicsInfo.api === GraphicsInfo.Software ? plainShadow : softShadow

    Component {
        id: softShadow

        DropShadow {
            source: root.source
            horizontalOffset: 3
            verticalOffset: 3
            radius: 8
            samples: 16
            color: "#80000000"
        }
    }

    Component {
        id: plainShadow

        Item {
            Rectangle {
                x: 3
                y: 3
                width: parent.width
                height: parent.height
                radius: root.radius
                color: "#40000000"
            }
            Rectangle {
                anchors.fill: parent
                radius: root.radius
                color: root.source.color
                border.color: root.source.border.color
                border.width: root.source.border.width
            }
        }
    }
}
