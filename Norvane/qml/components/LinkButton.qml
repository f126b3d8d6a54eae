import QtQuick
import QtQuick.Controls.Basic
import Norvane

// A button that reads as a link in a line of text: the highlight colour, underlined on hover.
AbstractButton {
    id: control

    implicitWidth: label.implicitWidth
    implicitHeight: label.implicitHeight + 4
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.ignored: !visible

    contentItem: Label {
        id: label
        text: control.text
        color: Theme.highlight
        font.pixelSize: 12
        font.underline: control.hovered
        verticalAlignment: Text.AlignVCenter
    }
    background: Item {}
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Keys.onSpacePressed: clicked()

    FocusRing { controlRadius: 4 }
}
