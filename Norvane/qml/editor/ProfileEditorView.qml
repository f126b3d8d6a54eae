import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The profile editor's content: name, icon, the four durations, the note and the buttons.
// Return saves (or creates) and Escape cancels.
Rectangle {
    id: root
    required property ProfileEditorModel editor

    objectName: "profileEditorView"
    implicitWidth: 540
    // The content's own height: the sheet grows with it (a long error) rather than cutting it.
    implicitHeight: content.height + 18 + buttons.implicitHeight + 56
    color: Theme.workspaceBackground
    // The sheet's edge, as it has no window frame of its own off a Mac.
    border.width: 1
    border.color: Theme.separator
    Component.onCompleted: {
        if (root.editor.isPreset)
            root.forceActiveFocus()
        else
            nameField.forceActiveFocus()
    }

    Keys.onPressed: event => {
        if (event.key === Qt.Key_Escape) {
            root.editor.cancel()
        } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
            root.editor.save()
        } else {
            return
        }
        event.accepted = true
    }

    // A sheet shorter than its content (a small screen) scrolls it above the buttons.
    Flickable {
        id: scroller
        objectName: "editorScroller"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: buttons.top
        anchors.bottomMargin: 18
        contentWidth: width
        contentHeight: content.height + 28
        boundsBehavior: Flickable.StopAtBounds
        interactive: contentHeight > height
        clip: true
        ScrollBar.vertical: OverlayScrollBar {}

        Column {
            id: content
            x: 28
            y: 28
            width: scroller.width - 56
            spacing: 18

            RowLayout {
                width: parent.width
                spacing: 14
                ModeIcon {
                    objectName: "editorModeIcon"
                    symbol: root.editor.symbol
                    accent: root.editor.accent
                    size: 46
                }
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 3
                    Heading {
                        objectName: "editorHeading"
                        text: root.editor.heading
                        font.pixelSize: 23
                    }
                    Label {
                        Layout.fillWidth: true
                        text: L10n.text("Create a set of settings for any activity.")
                        color: Theme.secondary
                        font.pixelSize: 13
                        wrapMode: Text.WordWrap
                    }
                }
            }

            RowLayout {
                width: parent.width
                spacing: 8
                Label {
                    Layout.preferredWidth: 64
                    text: L10n.text("Name")
                    color: Theme.primary
                    font.pixelSize: 13
                }
                Label {
                    objectName: "presetName"
                    Layout.fillWidth: true
                    visible: root.editor.isPreset
                    Accessible.name: L10n.text("{0}, {1}", [L10n.text("Name"), text])
                    Accessible.ignored: !visible
                    text: root.editor.presetTitle
                    color: Theme.secondary
                    font.pixelSize: 13
                }
                TextField {
                    id: nameField
                    objectName: "nameField"
                    Layout.fillWidth: true
                    visible: !root.editor.isPreset
                    Accessible.name: L10n.text("Name")
                    Accessible.ignored: !visible
                    text: root.editor.title
                    placeholderText: L10n.text("For example: Overnight Downloads")
                    color: Theme.primary
                    placeholderTextColor: Theme.tertiary
                    selectByMouse: true
                    font.pixelSize: 13
                    implicitHeight: 30
                    onTextEdited: root.editor.title = text
                    background: Rectangle {
                        radius: 7
                        color: Theme.panelBackground
                        border.width: 1
                        border.color: Theme.separator
                    }
                    FocusRing { shown: nameField.activeFocus; controlRadius: 7 }
                }
            }

            // One choice of six, as radio buttons: the chosen one is the tab stop and the arrows
            // choose the previous or next.
            RowLayout {
                id: iconChoice
                width: parent.width
                spacing: 8
                Accessible.role: Accessible.Grouping
                Accessible.name: iconLabel.text
                function step(by) {
                    root.editor.stepIcon(by)
                    for (let i = 0; i < iconButtons.count; ++i)
                        if (iconButtons.itemAt(i).checked)
                            iconButtons.itemAt(i).forceActiveFocus(Qt.TabFocusReason)
                }
                Label {
                    id: iconLabel
                    Layout.preferredWidth: 64
                    text: L10n.text("Icon")
                    color: Theme.primary
                    font.pixelSize: 13
                    Accessible.ignored: true // the group's name
                }
                Repeater {
                    id: iconButtons
                    model: root.editor.icons
                    delegate: RadioButton {
                        id: iconButton
                        required property var modelData
                        objectName: "iconButton." + modelData.rawValue
                        implicitWidth: 42
                        implicitHeight: 38
                        padding: 0
                        hoverEnabled: true
                        // The model decides which one is checked: a click asks it.
                        checkable: false
                        autoExclusive: false
                        checked: root.editor.icon === modelData.rawValue
                        Accessible.checkable: true
                        focusPolicy: checked ? Qt.TabFocus : Qt.NoFocus
                        text: modelData.title
                        Accessible.name: text
                        ToolTip.visible: hovered
                        ToolTip.delay: 700
                        ToolTip.text: modelData.title
                        onClicked: root.editor.setIcon(modelData.rawValue)
                        indicator: Item {}
                        contentItem: Item {
                            SymbolIcon {
                                anchors.centerIn: parent
                                symbol: iconButton.modelData.symbol
                                color: iconButton.checked ? Theme.accentSymbol(root.editor.accent, Theme.dark) : Theme.primary
                                size: 18
                            }
                        }
                        background: Rectangle {
                            radius: 9
                            color: iconButton.checked
                                   ? Qt.rgba(root.editor.accent.r, root.editor.accent.g, root.editor.accent.b, 0.16)
                                   : Qt.rgba(Theme.primary.r, Theme.primary.g, Theme.primary.b, iconButton.hovered ? 0.08 : 0.04)
                        }
                        Keys.onPressed: event => {
                            if (event.key === Qt.Key_Left || event.key === Qt.Key_Up)
                                iconChoice.step(-1)
                            else if (event.key === Qt.Key_Right || event.key === Qt.Key_Down)
                                iconChoice.step(1)
                            else
                                return
                            event.accepted = true
                        }
                        FocusRing { controlRadius: 9 }
                    }
                }
                Item { Layout.fillWidth: true }
            }

            Surface {
                width: parent.width
                implicitHeight: rows.implicitHeight

                ColumnLayout {
                    id: rows
                    width: parent.width
                    spacing: 0

                    EditorMinuteRow {
                        objectName: "display"
                        limit: root.editor.displayLimit
                        overLimit: root.editor.displayOverLimit
                        title: L10n.text("Turn Display Off")
                        symbol: "display"
                        zero: L10n.text("Never")
                        accent: root.editor.accent
                        value: root.editor.displayMinutes
                        onEdited: minutes => root.editor.setMinutes(ProfileEditorModel.DisplayMinutes, minutes)
                    }
                    RowDivider { inset: 16 }
                    EditorMinuteRow {
                        objectName: "sleep"
                        limit: root.editor.sleepLimit
                        overLimit: root.editor.sleepOverLimit
                        title: L10n.text("System Sleep")
                        symbol: "moon.zzz"
                        zero: L10n.text("Never")
                        accent: root.editor.accent
                        value: root.editor.sleepMinutes
                        onEdited: minutes => root.editor.setMinutes(ProfileEditorModel.SleepMinutes, minutes)
                    }
                    RowDivider { inset: 16 }
                    EditorMinuteRow {
                        objectName: "screenSaver"
                        limit: root.editor.screenSaverLimit
                        overLimit: root.editor.screenSaverOverLimit
                        title: L10n.text("Screen Saver")
                        note: CurrentSystem.screenSaverFollowsDisplay ? L10n.text("Follows Turn Display Off") : ""
                        symbol: "photo.on.rectangle"
                        zero: L10n.text("Never")
                        accent: root.editor.accent
                        value: root.editor.screenSaverMinutes
                        onEdited: minutes => root.editor.setMinutes(ProfileEditorModel.ScreenSaver, minutes)
                    }
                    RowDivider { inset: 16 }
                    EditorMinuteRow {
                        objectName: "return"
                        title: L10n.text("Return to Normal")
                        symbol: "timer"
                        zero: L10n.text("No limit")
                        accent: root.editor.accent
                        enabled: root.editor.returnEnabled
                        value: root.editor.returnMinutes
                        onEdited: minutes => root.editor.setMinutes(ProfileEditorModel.AutomaticReturn, minutes)
                    }
                }
            }

            Label {
                width: parent.width
                text: L10n.systemText("After saving, click Apply Profile to update macOS. Automatic return requires Pellor to stay open and may request authorization when the timer ends.", "After saving, click Apply Profile to update your {0} settings. Automatic return requires Pellor to stay open.")
                color: Theme.secondary
                font.pixelSize: 11
                wrapMode: Text.WordWrap
            }

            Label {
                objectName: "editorError"
                width: parent.width
                visible: root.editor.error.length > 0
                text: root.editor.error
                color: Theme.failure
                font.pixelSize: 12
                wrapMode: Text.WordWrap
            }
        }
    }

    Announcer {
        announcement: root.editor.announcement
    }

    RowLayout {
        id: buttons
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 28
        spacing: 10
        DialogButton {
            objectName: "deleteButton"
            visible: root.editor.canDelete
            destructive: true
            text: L10n.text("Delete Profile")
            onClicked: root.editor.remove()
        }
        Item { Layout.fillWidth: true }
        DialogButton {
            objectName: "cancelButton"
            text: L10n.text("Cancel")
            onClicked: root.editor.cancel()
        }
        DialogButton {
            objectName: "saveButton"
            prominent: true
            accent: root.editor.accent
            text: root.editor.primaryTitle
            enabled: root.editor.canSave
            onClicked: root.editor.save()
        }
    }
}
