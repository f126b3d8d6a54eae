import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// A value in a capsule: symbol and text.
Rectangle {
    id: pill
    property string symbol
    property string text
    property color tint: Theme.primary

    implicitWidth: row.implicitWidth + 20
    implicitHeight: row.implicitHeight + 10
    radius: height / 2
    color: Theme.dark ? Qt.rgba(0, 0, 0, 0.28) : Qt.rgba(1, 1, 1, 0.62)
    border.width: 1
    border.color: Qt.rgba(tint.r, tint.g, tint.b, 0.2)

    RowLayout {
        id: row
        anchors.centerIn: parent
        spacing: 6
        SymbolIcon { symbol: pill.symbol; color: Theme.primary; size: 13 }
        Label {
            text: pill.text
            color: Theme.primary
            font.pixelSize: 12
            font.weight: Font.Medium
        }
    }
}
