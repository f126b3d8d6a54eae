import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// A section title with a note at the trailing end.
RowLayout {
    property string title
    property string note
    spacing: 8

    Label {
        text: parent.title
        color: Theme.primary
        font.pixelSize: 15
        font.weight: Font.DemiBold
    }
    Item { Layout.fillWidth: true }
    Label {
        text: parent.note
        color: Theme.secondary
        font.pixelSize: 12
    }
}
