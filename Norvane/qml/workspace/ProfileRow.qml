import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// One profile in the sidebar: its icon, title and summary, and the "Active" badge when applied.
// An item of the profile list, which is the tab stop: the selected row holds the focus inside it.
ItemDelegate {
    id: row
    required property string profileId
    required property string title
    required property string summary
    required property color accent
    required property string symbol
    required property bool selected
    required property bool applied
    required property bool allowed
    required property string accessibleName

    objectName: "profileRow." + profileId
    implicitHeight: 52
    padding: 0
    hoverEnabled: true
    focusPolicy: Qt.NoFocus
    Accessible.name: accessibleName
    Accessible.description: summary
    Accessible.focusable: true
    Accessible.selectable: true
    Accessible.selected: selected
    // A long title is cut short in the row: the whole of it shows on hover.
    ToolTip.visible: hovered && titleLabel.truncated
    ToolTip.delay: 700
    ToolTip.text: title

    background: Item {
        Rectangle {
            anchors.fill: parent
            radius: 10
            visible: row.hovered && !row.selected
            color: Theme.controlFill
        }
        ModeSelectionGlass {
            anchors.fill: parent
            selected: row.selected
            tint: row.accent
        }
    }

    contentItem: RowLayout {
        spacing: 10
        ModeIcon {
            Layout.leftMargin: 8
            symbol: row.symbol
            accent: row.accent
            size: 32
        }
        ColumnLayout {
            Layout.fillWidth: true
            Layout.rightMargin: 8
            spacing: 1
            // The badge sits beside the title, so the summary below keeps the row's width.
            RowLayout {
                Layout.fillWidth: true
                spacing: 6
                Label {
                    id: titleLabel
                    Layout.fillWidth: true
                    text: row.title
                    color: Theme.primary
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    elide: Text.ElideRight
                    Accessible.ignored: true // the row's name says it
                }
                ActiveBadge {
                    objectName: "activeBadge." + row.profileId
                    visible: row.applied
                    accent: row.accent
                    Accessible.ignored: true // the row's name says it
                }
            }
            Label {
                objectName: "rowSummary." + row.profileId
                Layout.fillWidth: true
                text: row.summary
                color: row.allowed ? Theme.secondary : Theme.warning
                font.pixelSize: 11
                elide: Text.ElideRight
                Accessible.ignored: true // the row's description
            }
        }
    }
    opacity: enabled ? 1 : 0.6

    // Inside the row: the list clips what lies outside it.
    FocusRing { shown: row.activeFocus; outset: -1; controlRadius: 10 }
}
