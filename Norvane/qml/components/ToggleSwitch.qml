import QtQuick
import QtQuick.Controls.Basic
import Norvane

// An on/off switch in the window's colours: the accent when on, a quiet track when off.
Switch {
    id: control
    property color accent: Theme.highlight

    implicitWidth: 40
    implicitHeight: 24
    padding: 0
    spacing: 0
    Accessible.role: Accessible.CheckBox
    Accessible.checkable: true
    Accessible.checked: checked

    indicator: Rectangle {
        implicitWidth: 40
        implicitHeight: 24
        radius: 12
        color: control.checked ? Theme.accentFill(control.accent, Theme.dark) : Theme.separator
        Rectangle {
            x: control.checked ? parent.width - width - 2 : 2
            y: 2
            width: 20
            height: 20
            radius: 10
            color: "white"
            border.width: 1
            border.color: Qt.rgba(0, 0, 0, 0.12)
        }
    }
    contentItem: Item {}
    opacity: enabled ? 1 : 0.45
    FocusRing { controlRadius: 12 }
}
