import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// A menu item with room for a check mark in front of its text.
MenuItem {
    id: item
    property bool checkedMark: false
    // One of a choice of values, the chosen one checked.
    property bool option: false
    property bool destructive: false

    implicitHeight: 28
    leftPadding: 8
    rightPadding: 12
    Accessible.checkable: option
    Accessible.checked: option && checkedMark

    contentItem: RowLayout {
        spacing: 6
        Item {
            Layout.preferredWidth: 16
            Layout.preferredHeight: 16
            SymbolIcon {
                anchors.centerIn: parent
                visible: item.checkedMark
                symbol: "checkmark"
                color: item.highlighted ? Theme.onAccent : Theme.primary
                size: 13
            }
        }
        Label {
            Layout.fillWidth: true
            text: item.text
            color: item.highlighted ? Theme.onAccent : item.destructive ? Theme.failure : Theme.primary
            font.pixelSize: 13
        }
    }
    indicator: Item {}
    arrow: Item {}
    background: Rectangle {
        implicitWidth: 160
        radius: 6
        anchors.fill: parent
        anchors.leftMargin: 4
        anchors.rightMargin: 4
        color: item.highlighted ? Theme.highlight : "transparent"
    }
}
