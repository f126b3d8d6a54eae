import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// One profile in the quick panel: icon, title over summary, and a check mark when applied.
AbstractButton {
    id: row
    required property string profileId
    required property string title
    required property string summary
    required property color accent
    required property string symbol
    required property bool applied
    property bool focused: false

    objectName: "panelRow." + profileId
    implicitHeight: 58
    hoverEnabled: true
    focusPolicy: Qt.NoFocus
    Accessible.role: Accessible.ListItem
    Accessible.name: title
    // A long title is cut short in the row: the whole of it shows on hover.
    ToolTip.visible: hovered && titleLabel.truncated
    ToolTip.delay: 700
    ToolTip.text: title

    background: Item {
        Rectangle {
            anchors.fill: parent
            radius: 10
            visible: row.hovered && !row.focused
            color: Theme.controlFill
        }
        ModeSelectionGlass {
            anchors.fill: parent
            selected: row.focused
            tint: row.accent
        }
    }

    contentItem: RowLayout {
        spacing: 10
        ModeIcon {
            Layout.leftMargin: 8
            symbol: row.symbol
            accent: row.accent
            size: 34
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2
            Label {
                id: titleLabel
                Layout.fillWidth: true
                text: row.title
                color: Theme.primary
                font.pixelSize: 13
                font.weight: Font.Medium
                elide: Text.ElideRight
            }
            Label {
                Layout.fillWidth: true
                text: row.summary
                color: Theme.secondary
                font.pixelSize: 11
                elide: Text.ElideRight
            }
        }
        SymbolIcon {
            objectName: "appliedMark." + row.profileId
            Layout.rightMargin: 10
            visible: row.applied
            symbol: "checkmark.circle.fill"
            color: Theme.accentSymbol(row.accent, Theme.dark)
            size: 18
        }
    }
    opacity: enabled ? 1 : 0.5
}
