import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// One reading of the settings window: symbol and title on the left, the value on the right.
Item {
    id: row
    property string title
    property string symbol
    property string value

    Layout.fillWidth: true
    implicitHeight: layout.implicitHeight + 36

    RowLayout {
        id: layout
        anchors.fill: parent
        anchors.margins: 18
        spacing: 8
        SymbolIcon {
            symbol: row.symbol
            color: Theme.secondary
            size: 16
        }
        Label {
            Layout.fillWidth: true
            text: row.title
            color: Theme.secondary
            font.pixelSize: 13
            elide: Text.ElideRight
        }
        Label {
            objectName: row.objectName + "Value"
            text: row.value
            color: Theme.primary
            font.pixelSize: 13
            font.weight: Font.Medium
            horizontalAlignment: Text.AlignRight
        }
    }
}
