import QtQuick
import QtQuick.Controls.Basic
import Norvane

// The "…" menu of the selected profile: rename, duplicate, and reset or delete.
AbstractButton {
    id: button
    required property WorkspaceModel workspace

    implicitWidth: 30
    implicitHeight: 30
    hoverEnabled: true
    Accessible.role: Accessible.ButtonMenu
    Accessible.name: L10n.text("Profile Actions")
    onClicked: menu.popup(button, button.width - menu.width, button.height + 4)

    contentItem: Item {
        SymbolIcon {
            anchors.centerIn: parent
            symbol: "ellipsis.circle"
            color: Theme.secondary
            size: 20
        }
    }
    background: Rectangle {
        radius: width / 2
        color: button.hovered ? Theme.controlFill : "transparent"
    }
    opacity: enabled ? 1 : 0.45

    Menu {
        id: menu
        objectName: "profileActionsMenu"
        width: 230
        topPadding: 5
        bottomPadding: 5
        background: Rectangle {
            implicitWidth: 230
            radius: 9
            color: Theme.panelBackground
            border.color: Theme.separator
        }

        PickerMenuItem {
            objectName: "editAction"
            text: L10n.text("Edit Name & Icon…")
            onTriggered: button.workspace.edit()
        }
        PickerMenuItem {
            objectName: "duplicateAction"
            text: L10n.text("Duplicate Profile")
            onTriggered: button.workspace.duplicate()
        }
        PickerMenuItem {
            objectName: "resetAction"
            visible: button.workspace.selected.isPreset
            height: visible ? implicitHeight : 0
            text: L10n.text("Reset to Factory Settings")
            onTriggered: button.workspace.resetToFactorySettings()
        }
        PickerMenuItem {
            objectName: "deleteAction"
            visible: !button.workspace.selected.isPreset
            height: visible ? implicitHeight : 0
            destructive: true
            text: L10n.text("Delete Profile")
            onTriggered: button.workspace.deleteProfile()
        }
    }
}
