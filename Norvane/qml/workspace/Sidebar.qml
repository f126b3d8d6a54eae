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
        }

        Label {
            Layout.leftMargin: 4
            Layout.topMargin: 4
            text: L10n.text("My Profiles")
            color: Theme.secondary
            font.pixelSize: 12
            font.weight: Font.DemiBold
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            ListView {
                id: list
                objectName: "profileList"
                anchors.fill: parent
                clip: true
                spacing: 2
                boundsBehavior: Flickable.StopAtBounds
                model: sidebar.workspace.profileList
                ScrollBar.vertical: OverlayScrollBar {}

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
                    onClicked: sidebar.workspace.select(profileId)
                }
            }
            Label {
                objectName: "noMatchesNotice"
                anchors.top: parent.top
                anchors.left: parent.left
                anchors.leftMargin: 6
                visible: sidebar.workspace.noMatches
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
