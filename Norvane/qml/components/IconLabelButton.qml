import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// A plain sidebar button: symbol and text, highlighted on hover.
AbstractButton {
    id: control
    property string symbol
    property color tint: Theme.primary
    // Shows that what it opens is open now (a page of the window).
    property bool highlighted: false

    implicitHeight: 32
    hoverEnabled: true
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.ignored: !visible

    contentItem: RowLayout {
        spacing: 8
        SymbolIcon { symbol: control.symbol; color: control.tint; size: 16; Layout.leftMargin: 8 }
        Label {
            Layout.fillWidth: true
            text: control.text
            color: Theme.primary
            font.pixelSize: 13
            elide: Text.ElideRight
        }
    }
    background: Rectangle {
        radius: 8
        color: control.down || control.highlighted ? Theme.separator : control.hovered ? Theme.controlFill : "transparent"
    }
    opacity: enabled ? 1 : 0.45
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    FocusRing { outset: -1 }
}
