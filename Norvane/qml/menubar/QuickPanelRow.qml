import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// One profile in the quick panel: icon, title over summary, and a check mark when applied. An
// item of the panel's list: the row the arrows reach holds the focus inside it.
ItemDelegate {
    id: row
    required property string profileId
    required property string title
    required property string summary
    required property color accent
    required property string symbol
    required property bool applied
    required property bool allowed
    required property string accessibleName
    property bool focused: false

    objectName: "panelRow." + profileId
    implicitHeight: 58
    padding: 0
    hoverEnabled: true
    focusPolicy: Qt.NoFocus
    Accessible.name: accessibleName
    Accessible.description: summary
    Accessible.focusable: true
    Accessible.selectable: true
    Accessible.selected: focused
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
                Accessible.ignored: true // the row's name says it
            }
            Label {
                Layout.fillWidth: true
                objectName: "panelSummary." + row.profileId
                text: row.summary
                color: row.allowed ? Theme.secondary : Theme.warning
                font.pixelSize: 11
                elide: Text.ElideRight
                Accessible.ignored: true // the row's description
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

    FocusRing { shown: row.activeFocus; outset: -1; controlRadius: 10 }
}
