import QtQuick
import QtQuick.Controls.Basic
import Norvane

// A push button of sheets and windows: bordered by default, filled with the accent when
// prominent, or borderless red text when destructive.
AbstractButton {
    id: control
    property bool prominent: false
    property bool destructive: false
    property color accent: Theme.highlight

    implicitWidth: Math.max(84, label.implicitWidth + 28)
    implicitHeight: 30
    hoverEnabled: true
    focusPolicy: Qt.TabFocus
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.ignored: !visible

    contentItem: Label {
        id: label
        text: control.text
        color: control.prominent ? Theme.onAccent : control.destructive ? Theme.failure : Theme.primary
        font.pixelSize: 13
        font.weight: control.prominent ? Font.DemiBold : Font.Normal
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 8
        readonly property color fill: Theme.accentFill(control.accent, Theme.dark)
        color: control.prominent
               ? (control.down ? Qt.darker(fill, 1.15) : control.hovered ? Qt.darker(fill, 1.06) : fill)
               : control.destructive
                 ? (control.down ? Qt.rgba(0.85, 0.23, 0.2, 0.16) : control.hovered ? Qt.rgba(0.85, 0.23, 0.2, 0.08) : "transparent")
                 : (control.down ? Theme.separator : control.hovered ? Theme.controlFill : Theme.panelBackground)
        border.width: control.prominent || control.destructive ? 0 : 1
        border.color: Theme.separator
    }
    opacity: enabled ? 1 : 0.45
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    FocusRing {}
}
