import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The selected profile: hero, settings, automatic return and live status, with the Apply
// footer laid over the bottom.
Item {
    id: detail
    required property WorkspaceModel workspace
    readonly property SelectedProfileView profile: workspace.selected
    readonly property bool applying: workspace.applying
    // Nothing that changes a profile works while the saved profiles could not be read.
    readonly property bool editable: !applying && !workspace.profilesLocked
    // Times of a profile the organisation provides are shown, not changed.
    readonly property bool timesEditable: editable && !profile.managed

    // The column's width at the window's minimum size. Narrower, on a screen too small for that
    // size, its content keeps this width and scrolls sideways.
    readonly property int minimumContentWidth: 675

    Flickable {
        id: scroller
        objectName: "detailScroller"
        anchors.fill: parent
        contentWidth: Math.max(width, detail.minimumContentWidth)
        contentHeight: content.implicitHeight + 40 + footer.height
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: OverlayScrollBar {}
        ScrollBar.horizontal: OverlayScrollBar {}

        // The model keeps the scroll position while the window's view is released.
        property bool restored: false
        Component.onCompleted: {
            contentY = detail.workspace.detailScroll
            restored = true
        }
        onContentYChanged: if (restored) detail.workspace.detailScroll = contentY

        ColumnLayout {
            id: content
            x: 24
            y: 20
            width: scroller.contentWidth - 48
            spacing: 10

            // Whose times Normal holds, asked once. Built only while it shows, so that screen
            // readers never meet it hidden.
            Loader {
                Layout.fillWidth: true
                active: detail.workspace.normalOffer.state !== NormalOffer.Hidden
                visible: active
                sourceComponent: Surface {
                    id: offerPanel
                    objectName: "normalOffer"
                    readonly property NormalOffer offer: detail.workspace.normalOffer
                    readonly property bool asking: offer.state === NormalOffer.Asking
                    implicitHeight: offerRow.implicitHeight + 24

                    ColumnLayout {
                        id: offerRow
                        anchors.fill: parent
                        anchors.margins: 12
                        spacing: 4
                        Label {
                            Layout.fillWidth: true
                            visible: offerPanel.asking
                            text: L10n.text("Use this computer's times for Normal?")
                            color: Theme.primary
                            font.pixelSize: 13
                            font.weight: Font.DemiBold
                            wrapMode: Text.Wrap
                            Accessible.role: Accessible.Heading
                            Accessible.name: text
                        }
                        Label {
                            Layout.fillWidth: true
                            text: offerPanel.offer.text
                            color: offerPanel.asking ? Theme.secondary : Theme.primary
                            font.pixelSize: 12
                            wrapMode: Text.Wrap
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                        }
                        RowLayout {
                            Layout.alignment: Qt.AlignRight
                            Layout.topMargin: 4
                            spacing: 8
                            DialogButton {
                                objectName: offerPanel.asking ? "keepNormalButton" : "undoNormalButton"
                                text: offerPanel.asking ? L10n.text("Keep Pellor's Normal") : L10n.text("Undo")
                                onClicked: offerPanel.asking ? offerPanel.offer.keepPellorsNormal() : offerPanel.offer.undo()
                            }
                            DialogButton {
                                objectName: offerPanel.asking ? "useCurrentTimesButton" : "doneNormalButton"
                                prominent: true
                                text: offerPanel.asking ? L10n.text("Use This Computer's Times") : L10n.text("Done")
                                onClicked: offerPanel.asking ? offerPanel.offer.useCurrentTimes() : offerPanel.offer.dismiss()
                            }
                        }
                    }
                }
            }

            Item {
                Layout.fillWidth: true
                implicitHeight: hero.implicitHeight

                HomeHero {
                    id: hero
                    objectName: "hero"
                    anchors.fill: parent
                    profile: detail.profile
                    effectsActive: detail.workspace.effectsActive
                }
                ProfileActionsButton {
                    objectName: "profileActions"
                    anchors.top: parent.top
                    anchors.right: parent.right
                    anchors.margins: 12
                    workspace: detail.workspace
                    enabled: detail.editable
                }
            }

            // Built only while it shows, so that screen readers never meet it hidden.
            Loader {
                Layout.fillWidth: true
                active: detail.workspace.profilesLocked
                visible: active
                sourceComponent: RowLayout {
                    objectName: "profilesLockedNotice"
                    spacing: 12
                    Label {
                        Layout.fillWidth: true
                        text: L10n.text("Your saved profiles could not be read, so changes are off. Set the damaged file aside to start again from the factory presets.")
                        color: Theme.failure
                        font.pixelSize: 12
                        wrapMode: Text.Wrap
                    }
                    DialogButton {
                        objectName: "setAsideProfilesButton"
                        text: L10n.text("Set Aside and Start Fresh")
                        onClicked: detail.workspace.setAsideDamagedProfiles()
                    }
                }
            }

            SectionHeading {
                Layout.fillWidth: true
                Layout.topMargin: 2
                title: L10n.text("Power & Display")
                note: detail.profile.managed ? L10n.text("Provided by your organisation") : L10n.text("Changes saved automatically")
            }

            Surface {
                Layout.fillWidth: true
                implicitHeight: settingsRows.implicitHeight
                enabled: detail.timesEditable

                ColumnLayout {
                    id: settingsRows
                    width: parent.width
                    spacing: 0

                    PreferenceRow {
                        Layout.fillWidth: true
                        title: L10n.text("Turn Display Off")
                        subtitle: L10n.text("Time idle before the display turns off")
                        symbol: "display"
                        tint: detail.profile.accent
                        MinutePicker {
                            objectName: "displayPicker"
                            title: L10n.text("Turn Display Off")
                            zero: L10n.text("Never")
                            tint: detail.profile.accent
                            value: detail.profile.displayMinutes
                            onEdited: minutes => detail.workspace.setMinutes(WorkspaceModel.DisplayMinutes, minutes)
                        }
                    }
                    RowDivider {}
                    PreferenceRow {
                        Layout.fillWidth: true
                        title: L10n.text("System Sleep")
                        subtitle: L10n.systemText("Time idle before your Mac sleeps", "Time idle before this computer sleeps")
                        symbol: "moon.zzz"
                        tint: detail.profile.accent
                        MinutePicker {
                            objectName: "sleepPicker"
                            title: L10n.text("System Sleep")
                            zero: L10n.text("Never")
                            tint: detail.profile.accent
                            value: detail.profile.sleepMinutes
                            onEdited: minutes => detail.workspace.setMinutes(WorkspaceModel.SleepMinutes, minutes)
                        }
                    }
                    RowDivider {}
                    PreferenceRow {
                        Layout.fillWidth: true
                        title: L10n.text("Screen Saver")
                        subtitle: L10n.text("Time idle before the screen saver starts")
                        symbol: "photo.on.rectangle"
                        tint: detail.profile.accent
                        MinutePicker {
                            objectName: "screenSaverPicker"
                            visible: !CurrentSystem.screenSaverFollowsDisplay
                            title: L10n.text("Screen Saver")
                            zero: L10n.text("Never")
                            tint: detail.profile.accent
                            value: detail.profile.screenSaverMinutes
                            onEdited: minutes => detail.workspace.setMinutes(WorkspaceModel.ScreenSaver, minutes)
                        }
                        Label {
                            objectName: "screenSaverFollowsNote"
                            visible: CurrentSystem.screenSaverFollowsDisplay
                            text: L10n.text("Follows Turn Display Off")
                            color: Theme.secondary
                            font.pixelSize: 11
                        }
                    }
                }
            }

            Surface {
                Layout.fillWidth: true
                Layout.topMargin: 2
                implicitHeight: returnRow.implicitHeight
                enabled: detail.timesEditable

                PreferenceRow {
                    id: returnRow
                    width: parent.width
                    title: L10n.text("Return to Normal")
                    subtitle: detail.profile.returnSubtitle
                    symbol: "timer"
                    tint: detail.profile.accent

                    Label {
                        objectName: "defaultReturnNote"
                        visible: detail.profile.isNormal
                        text: L10n.text("Default return profile")
                        color: Theme.secondary
                        font.pixelSize: 11
                    }
                    MinutePicker {
                        objectName: "returnPicker"
                        visible: !detail.profile.isNormal
                        title: L10n.text("Automatic Return")
                        zero: L10n.text("No limit")
                        tint: detail.profile.accent
                        value: detail.profile.returnMinutes
                        onEdited: minutes => detail.workspace.setMinutes(WorkspaceModel.AutomaticReturn, minutes)
                    }
                }
            }

            LiveStatusStrip {
                Layout.fillWidth: true
                Layout.topMargin: 2
                workspace: detail.workspace
            }
        }
    }

    ApplyFooter {
        id: footer
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        workspace: detail.workspace
    }
}
