import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The prominent button of the footer: accent fill, symbol and title.
AbstractButton {
    id: control
    property string symbol
    property color accent: Theme.primary

    implicitWidth: row.implicitWidth + 30
    implicitHeight: row.implicitHeight + 18
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.Button
    Accessible.name: text

    contentItem: Item {
        RowLayout {
            id: row
            anchors.centerIn: parent
            spacing: 7
            SymbolIcon { symbol: control.symbol; color: Theme.onAccent; size: 15 }
            Label {
                text: control.text
                color: Theme.onAccent
                font.pixelSize: 13
                font.weight: Font.DemiBold
            }
        }
    }
    background: Rectangle {
        radius: 10
        readonly property color fill: Theme.accentFill(control.accent, Theme.dark)
        color: control.down ? Qt.darker(fill, 1.15) : control.hovered ? Qt.darker(fill, 1.06) : fill
        opacity: control.enabled ? 1 : 0.45
    }
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    FocusRing { controlRadius: 10 }
}
