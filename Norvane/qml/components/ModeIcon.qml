import QtQuick
import Norvane

// A profile's icon on a rounded square tinted with its accent.
Rectangle {
    id: root
    property string symbol
    property color accent
    property real size: 32
    // What the tile is laid on: opaque where its surroundings would not let the symbol stand out
    // (the hero's aurora).
    property alias base: root.color

    implicitWidth: size
    implicitHeight: size
    radius: 0.29 * size
    color: "transparent"

    Rectangle {
        anchors.fill: parent
        radius: parent.radius
        color: Qt.rgba(root.accent.r, root.accent.g, root.accent.b, 0.12)
    }
    SymbolIcon {
        anchors.centerIn: parent
        symbol: root.symbol
        color: Theme.accentSymbol(root.accent, Theme.dark)
        size: Math.round(0.52 * root.size)
    }
}
