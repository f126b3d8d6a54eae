import QtQuick

// The background of a selectable row: a faint tint with a tinted edge when selected.
Rectangle {
    property bool selected
    property color tint

    radius: 10
    visible: selected
    color: Qt.rgba(tint.r, tint.g, tint.b, 0.16)
    border.width: 1
    border.color: Qt.rgba(tint.r, tint.g, tint.b, 0.22)
}
