import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// A settings row: symbol, title over subtitle, then the control at the trailing end.
Item {
    id: root
    property string title
    property string subtitle
    property string symbol
    property color tint: Theme.primary
    default property alias control: controlSlot.data

    implicitHeight: Math.max(52, layout.implicitHeight + 16)
    implicitWidth: layout.implicitWidth + 36

    RowLayout {
        id: layout
        anchors.fill: parent
        anchors.leftMargin: 18
        anchors.rightMargin: 16
        spacing: 0

        Item {
            Layout.preferredWidth: 44
            Layout.fillHeight: true
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: root.symbol
                color: Theme.accentSymbol(root.tint, Theme.dark)
                size: 20
            }
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2
            Label {
                Layout.fillWidth: true
                text: root.title
                color: Theme.primary
                font.pixelSize: 13
                font.weight: Font.DemiBold
                elide: Text.ElideRight
            }
            Label {
                Layout.fillWidth: true
                text: root.subtitle
                color: Theme.secondary
                font.pixelSize: 12
                elide: Text.ElideRight
            }
        }
        RowLayout {
            id: controlSlot
            Layout.alignment: Qt.AlignVCenter | Qt.AlignRight
            spacing: 0
        }
    }
}
