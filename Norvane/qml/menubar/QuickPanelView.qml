import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The quick panel: the power source, the applied profile, the profiles (one click applies one)
// and the footer. The focused profile (Up and Down, handled by the panel's window) is
// highlighted and kept in view.
Rectangle {
    id: root
    required property QuickPanelModel panel

    objectName: "quickPanelView"
    implicitWidth: 340
    color: Theme.panelBackground
    border.width: 1
    border.color: Theme.separator

    Announcer {
        announcement: root.panel.announcement
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 1
        spacing: 0

        RowLayout {
            objectName: "powerHeader"
            Layout.fillWidth: true
            Layout.margins: 16
            spacing: 12
            SymbolIcon {
                objectName: "powerSymbol"
                symbol: root.panel.powerSymbol
                color: root.panel.powerLow ? Theme.warning : Theme.success
                size: 26
            }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 2
                Label {
                    objectName: "powerTitle"
                    Layout.fillWidth: true
                    text: root.panel.powerTitle
                    color: Theme.primary
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    elide: Text.ElideRight
                }
                Label {
                    objectName: "powerDetail"
                    Layout.fillWidth: true
                    text: root.panel.powerDetail
                    color: Theme.secondary
                    font.pixelSize: 11
                    elide: Text.ElideRight
                }
            }
        }

        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: Theme.separator }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 10
            Layout.topMargin: 8
            Layout.bottomMargin: 4
            spacing: 8
            Label {
                objectName: "statusText"
                Layout.fillWidth: true
                text: root.panel.statusText
                color: Theme.secondary
                font.pixelSize: 11
                elide: Text.ElideRight
            }
            SymbolButton {
                objectName: "newProfileButton"
                symbol: "plus"
                text: L10n.text("New Profile")
                enabled: !root.panel.applying
                onClicked: root.panel.create()
            }
        }

        Label {
            objectName: "sleepDisabledText"
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 10
            Layout.bottomMargin: 4
            visible: root.panel.sleepDisabled
            text: L10n.text("Sleep disabled system-wide")
            color: Theme.secondary
            font.pixelSize: 11
            elide: Text.ElideRight
        }

        Label {
            objectName: "noticeText"
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 10
            Layout.bottomMargin: 4
            visible: root.panel.noticeText.length > 0
            text: root.panel.noticeText
            color: Theme.secondary
            font.pixelSize: 11
            wrapMode: Text.Wrap
        }

        // Why the profile in effect is in effect, where rules may switch, and the way back.
        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 10
            Layout.bottomMargin: 4
            spacing: 0
            visible: root.panel.reason !== null && root.panel.reason.text.length > 0
            Label {
                objectName: "switchingReasonText"
                Layout.fillWidth: true
                text: root.panel.reason ? root.panel.reason.text : ""
                color: Theme.secondary
                font.pixelSize: 11
                elide: Text.ElideRight
            }
            LinkButton {
                objectName: "resumeSwitchingButton"
                visible: root.panel.reason !== null && root.panel.reason.canResume
                text: L10n.text("Resume Automatic Switching")
                onClicked: root.panel.reason.resume()
            }
        }

        // The automatic return failed; nothing retries on its own.
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 10
            Layout.bottomMargin: 4
            spacing: 8
            visible: root.panel.returnFailed
            Label {
                objectName: "returnFailedText"
                Layout.fillWidth: true
                text: root.panel.returnFailure
                color: Theme.failure
                font.pixelSize: 11
                elide: Text.ElideRight
            }
            DialogButton {
                objectName: "tryAgainButton"
                implicitHeight: 24
                text: L10n.text("Try Again")
                onClicked: root.panel.tryAgain()
            }
        }

        // The applied profile's settings were changed outside Pellor.
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 10
            Layout.bottomMargin: 4
            spacing: 8
            visible: root.panel.drifted
            Label {
                objectName: "driftText"
                Layout.fillWidth: true
                text: L10n.text("Changed outside Pellor")
                color: Theme.failure
                font.pixelSize: 11
                elide: Text.ElideRight
            }
            DialogButton {
                objectName: "reapplyButton"
                implicitHeight: 24
                text: L10n.text("Reapply")
                onClicked: root.panel.reapply()
            }
        }

        ListView {
            id: list
            objectName: "panelProfileList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.leftMargin: 8
            Layout.rightMargin: 8
            clip: true
            spacing: 5
            boundsBehavior: Flickable.StopAtBounds
            model: root.panel.profileList
            ScrollBar.vertical: OverlayScrollBar {}
            // The keyboard starts here when the panel opens; the rows keep the focus themselves
            // (the one the arrows reached), so the list has no current item.
            focus: true
            activeFocusOnTab: true
            currentIndex: -1
            Accessible.role: Accessible.List
            Accessible.name: L10n.text("Profiles")
            // Until a row has the focus, the list shows that it has.
            FocusRing { shown: list.activeFocus; outset: -1; controlRadius: 10 }

            delegate: QuickPanelRow {
                width: ListView.view.width
                focused: profileId === root.panel.focusedID
                Component.onCompleted: if (focused) focus = true
                enabled: !root.panel.applying && allowed
                onClicked: root.panel.activate(profileId)
            }

            Connections {
                target: root.panel
                // The focused row holds the keyboard focus inside the list, handed on from one row
                // to the next directly.
                function onFocusedIDChanged() {
                    if (root.panel.focusedRow < 0)
                        return
                    list.positionViewAtIndex(root.panel.focusedRow, ListView.Contain)
                    const row = list.itemAtIndex(root.panel.focusedRow)
                    if (row)
                        row.focus = true
                }
            }
        }

        Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: Theme.separator }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 10
            Layout.rightMargin: 10
            Layout.topMargin: 7
            Layout.bottomMargin: 7
            spacing: 4
            AbstractButton {
                id: openButton
                objectName: "openButton"
                text: L10n.text("Open Pellor")
                hoverEnabled: true
                focusPolicy: Qt.TabFocus
                Accessible.role: Accessible.Button
                Accessible.name: text
                implicitHeight: 28
                implicitWidth: openLabel.implicitWidth + 16
                contentItem: Label {
                    id: openLabel
                    text: openButton.text
                    color: Theme.primary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                background: Rectangle {
                    radius: 7
                    color: openButton.down ? Theme.separator : openButton.hovered ? Theme.controlFill : "transparent"
                }
                onClicked: root.panel.open()
                Keys.onReturnPressed: clicked()
                Keys.onEnterPressed: clicked()
                FocusRing { controlRadius: 7 }
            }
            Item { Layout.fillWidth: true }
            SymbolButton {
                objectName: "settingsButton"
                symbol: "gearshape"
                text: L10n.text("Current Settings")
                onClicked: root.panel.settings()
            }
            SymbolButton {
                objectName: "quitButton"
                symbol: "power"
                text: L10n.text("Quit Pellor")
                enabled: !root.panel.applying
                onClicked: root.panel.quit()
            }
        }
    }
}
