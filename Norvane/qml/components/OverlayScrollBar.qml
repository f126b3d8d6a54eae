import QtQuick
import QtQuick.Controls.Basic
import Norvane

// A thin scroll bar drawn over the content, shown only while scrolling or hovered.
ScrollBar {
    id: bar
    policy: ScrollBar.AsNeeded
    minimumSize: 0.08
    padding: 2
    contentItem: Rectangle {
        implicitWidth: bar.hovered || bar.pressed ? 7 : 5
        implicitHeight: implicitWidth
        radius: width / 2
        color: Theme.primary
        // Faint while idle, so content that scrolls always shows that it does.
        opacity: bar.size < 0.999 ? (bar.pressed ? 0.45 : bar.active || bar.hovered ? 0.34 : 0.2) : 0
        Behavior on opacity { NumberAnimation { duration: 250 } }
    }
    background: Item {}
}
