import QtQuick
import Norvane

// A rounded panel behind grouped rows, with a thin edge and a soft shadow.
Item {
    id: root
    default property alias content: body.data
    property real radius: 14

    implicitWidth: body.implicitWidth
    implicitHeight: body.implicitHeight

    Repeater {
        model: 3
        Rectangle {
            required property int index
            anchors.fill: parent
            anchors.topMargin: 1 + index
            anchors.bottomMargin: -(1 + 2 * index)
            anchors.leftMargin: -index
            anchors.rightMargin: -index
            radius: root.radius + index
            color: Qt.rgba(0, 0, 0, Theme.dark ? 0.10 : 0.025)
        }
    }
    Rectangle {
        anchors.fill: parent
        radius: root.radius
        color: Theme.panelBackground
        border.width: 1
        border.color: Theme.separator
    }
    Item {
        id: body
        anchors.fill: parent
        implicitWidth: childrenRect.width
        implicitHeight: childrenRect.height
        opacity: root.enabled ? 1 : 0.55
    }
}
