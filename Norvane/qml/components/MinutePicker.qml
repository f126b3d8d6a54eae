import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// A menu button choosing a minute count, with a custom-duration entry. The chosen value is
// reported through edited(); the owner writes it back into `value`.
Item {
    id: root
    property string title
    property int value
    property string zero
    property color tint: Theme.primary
    signal edited(int minutes)

    implicitWidth: 132
    implicitHeight: 30

    MinutePickerModel {
        id: picker
        title: root.title
        value: root.value
        zero: root.zero
        onValueChosen: minutes => root.edited(minutes)
    }

    // A plain item rather than a button, so that screen readers meet it as a combo box with its
    // value: Qt 6.4 gives every button the button role whatever the view asks.
    Item {
        id: button
        objectName: root.objectName + ".button"
        anchors.fill: parent
        enabled: root.enabled
        activeFocusOnTab: true
        readonly property bool hovered: mouse.containsMouse
        readonly property bool down: mouse.pressed
        function open() {
            const menu = root.created(root.menu, menuComponent);
            root.menu = menu;
            menu.popup(button, button.width - menu.width, button.height + 4);
        }

        MouseArea {
            id: mouse
            anchors.fill: parent
            hoverEnabled: true
            onClicked: button.open()
        }
        Rectangle {
            anchors.fill: parent
            radius: 8
            color: button.down ? Theme.separator : button.hovered ? Theme.controlFill : Qt.rgba(0, 0, 0, 0)
            border.width: 1
            border.color: Theme.separator
        }
        RowLayout {
            anchors.fill: parent
            spacing: 6
            Label {
                objectName: root.objectName + ".label"
                Layout.fillWidth: true
                Layout.leftMargin: 10
                text: picker.label
                color: Theme.primary
                font.pixelSize: 13
                horizontalAlignment: Text.AlignRight
                elide: Text.ElideRight
                Accessible.ignored: true // the picker's name says it
            }
            SymbolIcon {
                Layout.rightMargin: 8
                symbol: "chevron.up.chevron.down"
                color: Theme.secondary
                size: 12
            }
        }
        Accessible.role: Accessible.ComboBox
        Accessible.name: picker.accessibleName
        Accessible.focusable: true
        Accessible.ignored: !visible
        Accessible.onPressAction: button.open()
        Keys.onPressed: event => {
            switch (event.key) {
            case Qt.Key_Space:
            case Qt.Key_Return:
            case Qt.Key_Enter:
            case Qt.Key_Up:
            case Qt.Key_Down:
                if (event.modifiers & ~(Qt.KeypadModifier | Qt.AltModifier))
                    return
                button.open()
                event.accepted = true
            }
        }
        opacity: enabled ? 1 : 0.45
        FocusRing { shown: button.activeFocus }
    }
    Announcer {
        announcement: picker.announcement
    }

    // The menu and the custom entry are made on first use: most pickers are never opened.
    property Menu menu: null
    property Popup customEntry: null
    function created(existing, component) {
        return existing ? existing : component.createObject(button);
    }

    Component {
        id: menuComponent
        Menu {
            id: menu
            objectName: root.objectName + ".menu"
            width: 170
            topPadding: 5
            bottomPadding: 5
            // Opens on the chosen value, or on Custom Duration… for a value of its own.
            onOpened: currentIndex = picker.checkedIndex >= 0 ? picker.checkedIndex : count - 1

            Instantiator {
                model: picker.items
                delegate: PickerMenuItem {
                    required property var modelData
                    objectName: root.objectName + ".option." + modelData.value
                    text: modelData.label
                    option: true
                    checkedMark: modelData.value === picker.checkedValue
                    onTriggered: {
                        // Chosen once the menu has closed, so the menu never changes under it.
                        const minutes = modelData.value;
                        Qt.callLater(() => picker.choose(minutes));
                    }
                }
                onObjectAdded: (index, item) => menu.insertItem(index, item)
                onObjectRemoved: (index, item) => menu.removeItem(item)
            }
            MenuSeparator {
                contentItem: Rectangle {
                    implicitHeight: 1
                    color: Theme.separator
                }
            }
            PickerMenuItem {
                objectName: root.objectName + ".custom"
                text: L10n.text("Custom Duration…")
                onTriggered: Qt.callLater(picker.openCustom)
            }
            background: Rectangle {
                implicitWidth: 170
                radius: 9
                color: Theme.panelBackground
                border.color: Theme.separator
            }
        }
    }

    Connections {
        target: picker
        function onShowingCustomChanged() {
            if (picker.showingCustom) {
                root.customEntry = root.created(root.customEntry, customEntryComponent);
                root.customEntry.open();
            } else if (root.customEntry) {
                root.customEntry.close();
            }
        }
    }

    Component {
        id: customEntryComponent
        Popup {
            id: customEntry
            objectName: root.objectName + ".customEntry"
            parent: button
            x: button.width - width
            y: button.height + 6
            width: 250
            padding: 20
            modal: false
            focus: true
            closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
            onClosed: {
                picker.cancelCustom()
                // The keyboard goes back to the picker (a click elsewhere then takes it on).
                button.forceActiveFocus(Qt.PopupFocusReason)
            }
            onOpened: {
                field.forceActiveFocus();
                field.selectAll();
            }

            background: Rectangle {
                radius: 12
                color: Theme.panelBackground
                border.color: Theme.separator
            }

            contentItem: ColumnLayout {
                spacing: 10
                Label {
                    text: root.title
                    color: Theme.primary
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                }
                RowLayout {
                    spacing: 8
                    TextField {
                        id: field
                        objectName: root.objectName + ".customField"
                        Layout.preferredWidth: 110
                        text: picker.custom
                        placeholderText: L10n.text("1–1440")
                        Accessible.name: picker.fieldName
                        color: Theme.primary
                        placeholderTextColor: Theme.tertiary
                        selectByMouse: true
                        onTextEdited: picker.custom = text
                        onAccepted: picker.commitCustom()
                        background: Rectangle {
                            radius: 7
                            color: Theme.controlFill
                            border.width: 1
                            border.color: Theme.separator
                        }
                        FocusRing { shown: field.activeFocus; controlRadius: 7 }
                    }
                    Label {
                        text: L10n.text("minutes")
                        color: Theme.secondary
                        font.pixelSize: 13
                    }
                }
                Label {
                    objectName: root.objectName + ".invalidMessage"
                    Layout.fillWidth: true
                    visible: picker.invalid
                    text: L10n.text("Enter a whole number from 1 to 1440 minutes")
                    color: Theme.failure
                    font.pixelSize: 11
                    wrapMode: Text.WordWrap
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 8
                    Item {
                        Layout.fillWidth: true
                    }
                    DialogButton {
                        objectName: root.objectName + ".customCancel"
                        text: L10n.text("Cancel")
                        onClicked: picker.cancelCustom()
                    }
                    DialogButton {
                        objectName: root.objectName + ".customOK"
                        text: L10n.text("OK")
                        prominent: true
                        accent: root.tint
                        onClicked: picker.commitCustom()
                    }
                }
            }
        }
    }
}
