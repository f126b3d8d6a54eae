import QtQuick
import Norvane

// The keyboard focus ring of a control: a clear outline in the highlight colour, shown while
// the control has the focus from the keyboard (Tab), in light and dark alike.
Rectangle {
    id: ring
    // The control whose focus it shows; its parent by default.
    property Item control: parent
    property bool shown: control ? control.visualFocus === true : false
    // How far the ring stands off the control; negative draws inside it (for clipped lists).
    property real outset: 3
    property real controlRadius: 8

    objectName: "focusRing"
    parent: control
    anchors.fill: parent
    anchors.margins: -outset
    radius: controlRadius + outset
    color: "transparent"
    border.width: 2
    border.color: Theme.focusRing
    visible: shown
    z: 100
}
