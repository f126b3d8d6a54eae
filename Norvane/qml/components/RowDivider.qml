import QtQuick
import QtQuick.Layouts
import Norvane

// A hairline between rows, inset from the leading edge.
Item {
    property real inset: 62
    Layout.fillWidth: true
    implicitHeight: 1
    Rectangle {
        anchors.fill: parent
        anchors.leftMargin: parent.inset
        color: Theme.separator
    }
}
