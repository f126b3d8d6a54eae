import QtQuick
import QtQuick.Controls.Basic
import Norvane

// A borderless button showing only a symbol; its accessible name is its text.
AbstractButton {
    id: control
    property string symbol
    property color tint: Theme.secondary
    property real symbolSize: 15

    implicitWidth: 28
    implicitHeight: 28
    hoverEnabled: true
    focusPolicy: Qt.TabFocus
    display: AbstractButton.IconOnly
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.ignored: !visible
    ToolTip.visible: hovered && text.length > 0
    ToolTip.delay: 700
    ToolTip.text: text

    contentItem: Item {
        SymbolIcon {
            anchors.centerIn: parent
            symbol: control.symbol
            color: control.tint
            size: control.symbolSize
        }
    }
    background: Rectangle {
        radius: 7
        color: control.down ? Theme.separator : control.hovered ? Theme.controlFill : "transparent"
    }
    opacity: enabled ? 1 : 0.4
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    FocusRing { controlRadius: 7 }
}
