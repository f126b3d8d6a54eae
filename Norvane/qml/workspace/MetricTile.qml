import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// One live value: symbol and title above the value. Opens the settings window.
AbstractButton {
    id: tile
    property string title
    property string symbol
    property string value
    property color tint: Theme.primary

    implicitHeight: 58
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    FocusRing { controlRadius: 12 }
    Accessible.role: Accessible.Button
    Accessible.name: L10n.text("{0}, {1}", [title, value])
    Accessible.description: ToolTip.text
    ToolTip.visible: hovered
    ToolTip.delay: 600
    ToolTip.text: L10n.systemText("View live macOS settings", "View live {0} settings")

    background: Rectangle {
        radius: 12
        color: tile.down ? Theme.separator : tile.hovered ? Qt.tint(Theme.panelBackground, Theme.controlFill) : Theme.panelBackground
        border.width: 1
        border.color: Theme.separator
    }
    contentItem: ColumnLayout {
        spacing: 6
        RowLayout {
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            spacing: 6
            SymbolIcon { symbol: tile.symbol; color: Theme.accentSymbol(tile.tint, Theme.dark); size: 14 }
            Label {
                Layout.fillWidth: true
                text: tile.title
                color: Theme.secondary
                font.pixelSize: 11
                font.weight: Font.Medium
                elide: Text.ElideRight
            }
        }
        Label {
            objectName: tile.objectName + ".value"
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            text: tile.value
            color: Theme.primary
            font.pixelSize: 16
            font.weight: Font.DemiBold
            elide: Text.ElideRight
        }
    }
}
