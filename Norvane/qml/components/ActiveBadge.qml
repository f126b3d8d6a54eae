import QtQuick
import QtQuick.Controls.Basic
import Norvane

// The capsule that marks the applied profile.
Rectangle {
    id: badge
    property color accent
    property real fontSize: 10

    implicitWidth: label.implicitWidth + 14
    implicitHeight: label.implicitHeight + 5
    radius: height / 2
    color: Theme.badgeFill(accent, Theme.dark)
    Accessible.role: Accessible.StaticText
    Accessible.name: L10n.text("Applied")
    Accessible.ignored: !visible

    Label {
        id: label
        anchors.centerIn: parent
        text: L10n.text("Active")
        color: Theme.accentText(badge.accent, Theme.dark)
        font.pixelSize: badge.fontSize
        font.weight: Font.DemiBold
        Accessible.ignored: true // the badge says "Applied"
    }
}
