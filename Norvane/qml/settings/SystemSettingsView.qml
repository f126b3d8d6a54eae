import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// What the Mac is set to right now: the four readings, the wake requests of other apps, the
// restore and System Settings buttons, when the readings were taken, and below them why the Mac
// does not sleep.
Rectangle {
    id: root
    required property SettingsModel settings
    required property SleepDiagnosisModel diagnosis

    objectName: "systemSettingsView"
    color: Theme.workspaceBackground
    // The window opens with its first control focused, where the keyboard and a screen reader
    // start.
    Component.onCompleted: refreshButton.forceActiveFocus()

    // Opened, the diagnosis is brought into view and kept there while it fills in, until the
    // person scrolls.
    property bool revealing: false
    function reveal() {
        scroller.contentY = Math.max(0, Math.min(content.y + diagnosisSection.y - 12,
                                                 scroller.contentHeight - scroller.height))
    }
    Connections {
        target: root.diagnosis
        function onExpandedChanged() {
            root.revealing = root.diagnosis.expanded
            if (root.revealing)
                Qt.callLater(root.reveal)
        }
    }

    Flickable {
        id: scroller
        objectName: "settingsScroller"
        anchors.fill: parent
        contentWidth: width
        contentHeight: content.implicitHeight + 56
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: OverlayScrollBar {}
        onContentHeightChanged: if (root.revealing) Qt.callLater(root.reveal)
        onMovementStarted: root.revealing = false

        ColumnLayout {
            id: content
            x: 28
            y: 28
            width: scroller.width - 56
            // Blocks 18 apart, so the status line stays in sight at the default size in every
            // language.
            spacing: 18

            RowLayout {
                Layout.fillWidth: true
                spacing: 12
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 4
                    Heading {
                        Layout.fillWidth: true
                        text: L10n.systemText("Current Mac Status", "Current {0} Status")
                        font.pixelSize: 25
                        wrapMode: Text.WordWrap
                    }
                    Label {
                        Layout.fillWidth: true
                        text: L10n.systemText("Read directly from macOS, updated every 5 seconds.", "Read directly from {0}, updated every 5 seconds.")
                        color: Theme.secondary
                        font.pixelSize: 13
                        wrapMode: Text.WordWrap
                    }
                }
                SymbolButton {
                    id: refreshButton
                    objectName: "refreshButton"
                    Layout.alignment: Qt.AlignTop
                    symbol: "arrow.clockwise"
                    symbolSize: 16
                    implicitWidth: 32
                    implicitHeight: 32
                    text: L10n.text("Refresh System Status")
                    onClicked: root.settings.update(true)
                }
            }

            Surface {
                Layout.fillWidth: true
                implicitHeight: rows.implicitHeight

                ColumnLayout {
                    id: rows
                    width: parent.width
                    spacing: 0
                    StatusRow {
                        objectName: "sourceRow"
                        title: L10n.text("Power source")
                        symbol: "powerplug"
                        value: root.settings.sourceText
                    }
                    RowDivider { inset: 20 }
                    StatusRow {
                        objectName: "displayRow"
                        title: L10n.text("Turn Display Off")
                        symbol: "display"
                        value: root.settings.displayText
                    }
                    RowDivider { inset: 20 }
                    StatusRow {
                        objectName: "sleepRow"
                        title: L10n.text("System Sleep")
                        symbol: "moon.zzz"
                        value: root.settings.sleepText
                    }
                    RowDivider { inset: 20 }
                    StatusRow {
                        objectName: "screenSaverRow"
                        title: L10n.text("Screen Saver")
                        symbol: "photo.on.rectangle"
                        value: root.settings.screenSaverText
                    }
                }
            }

            Rectangle {
                Layout.fillWidth: true
                implicitHeight: wake.implicitHeight + 36
                radius: 14
                color: Qt.rgba(Theme.primary.r, Theme.primary.g, Theme.primary.b, 0.035)

                ColumnLayout {
                    id: wake
                    anchors.fill: parent
                    anchors.margins: 18
                    spacing: 10
                    RowLayout {
                        spacing: 7
                        SymbolIcon {
                            symbol: "info.circle"
                            color: Theme.primary
                            size: 16
                        }
                        Heading {
                            text: L10n.text("Wake Requests from Other Apps")
                            font.pixelSize: 13
                        }
                    }
                    TextEdit {
                        objectName: "assertionText"
                        Layout.fillWidth: true
                        text: root.settings.assertionText
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        readOnly: true
                        selectByMouse: true
                        wrapMode: TextEdit.Wrap
                        color: Theme.secondary
                        selectionColor: Theme.highlight
                        selectedTextColor: Theme.onAccent
                        font.pixelSize: 12
                    }
                }
            }

            Label {
                Layout.fillWidth: true
                text: L10n.systemText("macOS manages manual screen locking, lid closure, and password requirements. Settings remain in effect after quitting Pellor.", "{0} manages screen locking, the lid and passwords. Settings remain in effect after quitting Pellor.")
                color: Theme.secondary
                font.pixelSize: 11
                wrapMode: Text.WordWrap
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 10
                DialogButton {
                    objectName: "restoreButton"
                    text: L10n.text("Restore Original Settings…")
                    enabled: !root.settings.busy
                    onClicked: root.settings.restoreOriginal()
                }
                Item { Layout.fillWidth: true }
                SymbolButton {
                    objectName: "diagnosisButton"
                    symbol: "moon.zzz"
                    symbolSize: 16
                    implicitWidth: 32
                    implicitHeight: 32
                    text: L10n.systemText("Why isn't my Mac sleeping?", "Why isn't this computer sleeping?")
                    onClicked: root.diagnosis.expanded = !root.diagnosis.expanded
                }
                DialogButton {
                    objectName: "systemSettingsButton"
                    text: L10n.systemText("System Settings ↗", "Power Settings ↗")
                    onClicked: root.settings.openSystemSettings()
                }
            }

            Label {
                objectName: "restoreNotice"
                Layout.fillWidth: true
                Layout.topMargin: -10
                visible: text.length > 0
                text: root.settings.restoreNotice
                color: Theme.secondary
                font.pixelSize: 12
                wrapMode: Text.WordWrap
            }

            TextEdit {
                objectName: "openFailureText"
                Layout.fillWidth: true
                Layout.topMargin: -10
                visible: text.length > 0
                text: root.settings.openFailure
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.ignored: !visible
                readOnly: true
                selectByMouse: true
                wrapMode: TextEdit.Wrap
                color: Theme.warning
                selectionColor: Theme.highlight
                selectedTextColor: Theme.onAccent
                font.pixelSize: 12
            }

            Label {
                objectName: "statusLine"
                Layout.fillWidth: true
                text: root.settings.statusLine
                color: Theme.secondary
                font.pixelSize: 11
                wrapMode: Text.WordWrap
            }

            SleepDiagnosisSection {
                id: diagnosisSection
                Layout.fillWidth: true
                visible: root.diagnosis.expanded
                diagnosis: root.diagnosis
            }
        }
    }
}
