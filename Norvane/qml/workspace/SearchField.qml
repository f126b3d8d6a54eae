import QtQuick
import QtQuick.Controls.Basic
import Norvane

// The sidebar's search field with its magnifying glass.
TextField {
    id: field
    placeholderText: L10n.text("Search profiles")
    Accessible.name: placeholderText
    Accessible.searchEdit: true
    color: Theme.primary
    placeholderTextColor: Theme.tertiary
    selectByMouse: true
    font.pixelSize: 13
    leftPadding: 30
    implicitHeight: 30

    SymbolIcon {
        anchors.left: parent.left
        anchors.leftMargin: 9
        anchors.verticalCenter: parent.verticalCenter
        symbol: "magnifyingglass"
        color: Theme.secondary
        size: 14
    }
    background: Rectangle {
        radius: 8
        color: Theme.controlFill
        border.width: 1
        border.color: Theme.separator
    }
    FocusRing { shown: field.activeFocus }
}
