import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// A section title with a note at the trailing end.
RowLayout {
    property string title
    property string note
    spacing: 8

    Heading {
        text: parent.title
    }
    Item { Layout.fillWidth: true }
    Label {
        text: parent.note
        color: Theme.secondary
        font.pixelSize: 12
    }
}
