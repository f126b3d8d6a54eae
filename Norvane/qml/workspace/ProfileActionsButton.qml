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
    // The menu is made on first use.
    property Menu menu: null
    onClicked: {
        if (!menu)
            menu = menuComponent.createObject(button);
        menu.popup(button, button.width - menu.width, button.height + 4);
    }

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
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    FocusRing { outset: 1; controlRadius: button.width / 2 }

    Component {
        id: menuComponent
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

            Instantiator {
                model: button.workspace.selected.actions
                delegate: PickerMenuItem {
                    required property var modelData
                    objectName: modelData.action + "Action"
                    text: modelData.title
                    destructive: modelData.destructive
                    onTriggered: {
                        // Performed once the menu has closed, so the menu never changes under it.
                        const action = modelData.action;
                        Qt.callLater(() => button.workspace.perform(action));
                    }
                }
                onObjectAdded: (index, item) => menu.insertItem(index, item)
                onObjectRemoved: (index, item) => menu.removeItem(item)
            }
        }
    }
}
