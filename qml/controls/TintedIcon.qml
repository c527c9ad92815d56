import QtQuick 2.15

// A monochrome icon drawn in one colour. The colour is put in when the icon is
// decoded (the "tinted" image provider), so it draws on every renderer,
// the software one of a board without a GPU included, as one plain image.
Image {
    id: root

    property url icon
    property color color: "white"

    source: icon.toString() === "" ? "" : "image://tinted/" + color.toString().substring(1) + "/" + icon
    smooth: true
}
