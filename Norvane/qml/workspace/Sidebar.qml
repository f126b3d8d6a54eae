import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The brand header, the search field and the profile list, with the new-profile and settings
// buttons at the bottom.
Rectangle {
    id: sidebar
    required property WorkspaceModel workspace

    color: Theme.sidebarBackground

    ColumnLayout {
        anchors.fill: parent
        anchors.topMargin: 16
        anchors.bottomMargin: 12
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 10

        RowLayout {
            Layout.leftMargin: 4
            spacing: 9
            PellorBrandMark {
                implicitWidth: 28
                implicitHeight: 28
                primary: Theme.primary
            }
            Label {
                text: "Pellor"
                color: Theme.primary
                font.pixelSize: 17
                font.weight: Font.Bold
            }
        }

        SearchField {
            objectName: "searchField"
            Layout.fillWidth: true
            Layout.topMargin: 4
            text: sidebar.workspace.search
            onTextEdited: sidebar.workspace.search = text
            Keys.onEscapePressed: event => event.accepted = sidebar.workspace.clearSearch()
        }

        Heading {
            id: listHeading
            Layout.leftMargin: 4
            Layout.topMargin: 4
            text: L10n.text("My Profiles")
            color: Theme.secondary
            font.pixelSize: 12
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            // One tab stop: the selected row takes the focus inside the list, the arrows, Home
            // and End move the selection and Return applies it.
            ListView {
                id: list
                objectName: "profileList"
                anchors.fill: parent
                clip: true
                spacing: 2
                boundsBehavior: Flickable.StopAtBounds
                model: sidebar.workspace.profileList
                ScrollBar.vertical: OverlayScrollBar {}
                // Where the keyboard starts when the window opens.
                focus: true
                activeFocusOnTab: true
                keyNavigationEnabled: false
                // The rows keep the focus themselves (the selected one): the list's current item
                // would take it.
                currentIndex: -1
                Accessible.role: Accessible.List
                Accessible.name: listHeading.text
                // When the search hides the selected row, the list shows that it has the focus.
                FocusRing { shown: list.activeFocus; outset: -1; controlRadius: 10 }

                // The selected row holds the focus inside the list, which gives it on from one row to
                // the next directly, so that a screen reader hears the new row and not the list.
                function focusSelected() {
                    const row = sidebar.workspace.selectedRow
                    if (row < 0)
                        return
                    positionViewAtIndex(row, ListView.Contain)
                    const item = itemAtIndex(row)
                    if (item)
                        item.focus = true
                }
                Connections {
                    target: sidebar.workspace
                    function onSelectedRowChanged() { list.focusSelected() }
                }
                function move(direction) {
                    sidebar.workspace.moveSelection(direction)
                }
                Keys.onPressed: event => {
                    switch (event.key) {
                    case Qt.Key_Up: move(WorkspaceModel.Up); break
                    case Qt.Key_Down: move(WorkspaceModel.Down); break
                    case Qt.Key_Home: move(WorkspaceModel.Home); break
                    case Qt.Key_End: move(WorkspaceModel.End); break
                    case Qt.Key_Return:
                    case Qt.Key_Enter:
                        if (event.modifiers !== Qt.NoModifier && event.modifiers !== Qt.KeypadModifier)
                            return // the window's Apply shortcut
                        sidebar.workspace.apply()
                        break
                    default: return
                    }
                    event.accepted = true
                }

                // The model keeps the scroll position while the window's view is released.
                property bool restored: false
                Component.onCompleted: {
                    contentY = sidebar.workspace.listScroll
                    restored = true
                }
                onContentYChanged: if (restored) sidebar.workspace.listScroll = contentY

                delegate: ProfileRow {
                    width: ListView.view.width
                    enabled: !sidebar.workspace.applying
                    Component.onCompleted: if (selected) focus = true
                    onClicked: {
                        sidebar.workspace.select(profileId)
                        list.forceActiveFocus(Qt.MouseFocusReason)
                    }
                }
            }
            Label {
                objectName: "noMatchesNotice"
                anchors.top: parent.top
                anchors.left: parent.left
                anchors.leftMargin: 6
                visible: sidebar.workspace.noMatches
                Accessible.ignored: !visible
                text: L10n.text("No matching profiles")
                color: Theme.secondary
                font.pixelSize: 11
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.separator
        }

        IconLabelButton {
            objectName: "rulesButton"
            Layout.fillWidth: true
            symbol: "bolt"
            text: L10n.text("Automatic Switching")
            visible: sidebar.workspace.rules !== null
            checkable: false
            highlighted: sidebar.workspace.showingRules
            Accessible.checkable: true
            Accessible.checked: sidebar.workspace.showingRules
            onClicked: sidebar.workspace.showRules()
        }
        IconLabelButton {
            objectName: "newProfileButton"
            Layout.fillWidth: true
            symbol: "plus"
            text: L10n.text("New Profile")
            enabled: !sidebar.workspace.applying && !sidebar.workspace.profilesLocked
            onClicked: sidebar.workspace.newProfile()
        }
        IconLabelButton {
            objectName: "settingsButton"
            Layout.fillWidth: true
            symbol: "gearshape"
            text: L10n.text("Current System Settings")
            onClicked: sidebar.workspace.openSettings()
        }
    }
}
