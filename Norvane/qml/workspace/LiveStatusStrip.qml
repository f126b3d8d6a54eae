import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The live values of the system: display, sleep and power source, a read error under them, and
// the one line that says when the simulated Mac stands in for a desktop.
ColumnLayout {
    id: strip
    required property WorkspaceModel workspace
    readonly property LiveStatusView status: workspace.liveStatus

    spacing: 8

    SectionHeading {
        Layout.fillWidth: true
        title: L10n.systemText("Live macOS Status", "Live {0} Status")
        note: L10n.text("Updates every 5 seconds")
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        MetricTile {
            objectName: "displayTile"
            Layout.fillWidth: true
            Layout.preferredWidth: 1 // equal thirds whatever the texts
            title: L10n.text("Display Off")
            symbol: "display"
            value: strip.status.displayValue
            tint: strip.workspace.selected.accent
            onClicked: strip.workspace.openSettings()
        }
        MetricTile {
            objectName: "sleepTile"
            Layout.fillWidth: true
            Layout.preferredWidth: 1 // equal thirds whatever the texts
            title: L10n.text("System Sleep")
            symbol: "moon.zzz"
            value: strip.status.sleepValue
            tint: strip.workspace.selected.accent
            onClicked: strip.workspace.openSettings()
        }
        MetricTile {
            objectName: "sourceTile"
            Layout.fillWidth: true
            Layout.preferredWidth: 1 // equal thirds whatever the texts
            title: L10n.text("Power Source")
            symbol: "bolt"
            value: strip.status.sourceValue
            tint: strip.workspace.selected.accent
            onClicked: strip.workspace.openSettings()
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 10
        visible: strip.status.error.length > 0
        Label {
            objectName: "liveStatusError"
            Layout.fillWidth: true
            Accessible.ignored: !visible
            text: strip.status.error
            color: Theme.warning
            font.pixelSize: 11
            wrapMode: Text.WordWrap
        }
        // The error asks for a refresh: this is it.
        DialogButton {
            objectName: "liveStatusRefresh"
            text: L10n.text("Refresh")
            onClicked: strip.workspace.readNow()
        }
    }
    Label {
        objectName: "systemNote"
        Layout.fillWidth: true
        visible: strip.status.systemNote.length > 0
        Accessible.ignored: !visible
        text: strip.status.systemNote
        color: Theme.secondary
        font.pixelSize: 11
        wrapMode: Text.WordWrap
    }
}
