import QtQuick
import Norvane

// A profile's icon on a rounded square tinted with its accent.
Rectangle {
    id: root
    property string symbol
    property color accent
    property real size: 32

    implicitWidth: size
    implicitHeight: size
    radius: 0.29 * size
    color: Qt.rgba(accent.r, accent.g, accent.b, 0.12)

    SymbolIcon {
        anchors.centerIn: parent
        symbol: root.symbol
        color: root.accent
        size: Math.round(0.52 * root.size)
    }
}
