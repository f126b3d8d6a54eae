import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// One rule: a handle to drag it by, its sentence and state, its switch and its actions. Space
// switches it on or off, Return edits it, Delete deletes it, the menu key opens its actions (the
// list moves it with Alt and the arrows).
FocusScope {
    id: row
    required property int index
    required property string ruleId
    required property string sentence
    required property int state
    required property string stateText
    required property string note
    required property bool ruleEnabled
    required property bool managed
    required property bool canMoveUp
    required property bool canMoveDown
    required property string accessibleName
    required property RulesModel rules
    // Set while the handle is dragged: how far, to show the row following the pointer.
    property real dragOffset: 0
    signal dropped(real offset)

    implicitHeight: Math.max(56, text.implicitHeight + 20)
    z: dragOffset !== 0 ? 2 : 0
    activeFocusOnTab: false
    Accessible.role: Accessible.ListItem
    Accessible.name: accessibleName
    Accessible.focusable: true

    Keys.onPressed: event => {
        if (event.key === Qt.Key_Space && !row.managed)
            row.rules.setEnabled(row.index, !row.ruleEnabled)
        else if ((event.key === Qt.Key_Return || event.key === Qt.Key_Enter) && !row.managed)
            row.rules.edit(row.index)
        else if ((event.key === Qt.Key_Delete || event.key === Qt.Key_Backspace) && !row.managed)
            row.rules.remove(row.index)
        else if (event.key === Qt.Key_Menu && !row.managed)
            actions.popup(row, 12, row.height)
        else
            return
        event.accepted = true
    }

    Rectangle {
        anchors.fill: parent
        anchors.topMargin: row.dragOffset
        anchors.bottomMargin: -row.dragOffset
        radius: 10
        color: row.dragOffset !== 0 ? Theme.controlFill : row.activeFocus ? Qt.rgba(Theme.highlight.r, Theme.highlight.g, Theme.highlight.b, 0.10) : "transparent"
        FocusRing { shown: row.activeFocus; outset: -1; controlRadius: 10 }

        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 8
            anchors.rightMargin: 12
            spacing: 10

            // Dragged to reorder; a rule that cannot move has none.
            Item {
                objectName: "dragHandle"
                Layout.preferredWidth: 18
                Layout.fillHeight: true
                // Kept in place without a handle, so that the sentences line up.
                opacity: row.canMoveUp || row.canMoveDown ? 1 : 0
                enabled: opacity > 0
                Accessible.ignored: true
                Column {
                    anchors.centerIn: parent
                    spacing: 3
                    Repeater {
                        model: 3
                        Rectangle { width: 12; height: 2; radius: 1; color: Theme.tertiary }
                    }
                }
                DragHandler {
                    id: drag
                    target: null
                    yAxis.enabled: true
                    xAxis.enabled: false
                    cursorShape: Qt.ClosedHandCursor
                    onTranslationChanged: if (active) row.dragOffset = translation.y
                    onActiveChanged: if (!active) {
                        const offset = row.dragOffset
                        row.dragOffset = 0
                        row.dropped(offset)
                    }
                }
                HoverHandler { cursorShape: Qt.OpenHandCursor }
            }

            ColumnLayout {
                id: text
                Layout.fillWidth: true
                spacing: 2
                Label {
                    Layout.fillWidth: true
                    text: row.sentence
                    color: row.state === RulesModel.Broken ? Theme.failure : Theme.primary
                    font.pixelSize: 13
                    wrapMode: Text.Wrap
                }
                Label {
                    Layout.fillWidth: true
                    text: row.note.length > 0 ? L10n.text("{0} · {1}", [row.stateText, row.note]) : row.stateText
                    color: row.state === RulesModel.Broken ? Theme.failure : row.state === RulesModel.Holding ? Theme.highlight : Theme.secondary
                    font.pixelSize: 11
                    wrapMode: Text.Wrap
                }
            }

            ToggleSwitch {
                objectName: "ruleSwitch"
                visible: !row.managed
                checked: row.ruleEnabled
                focusPolicy: Qt.NoFocus // the row's Space switches it
                Accessible.name: L10n.text("Use This Rule")
                onToggled: row.rules.setEnabled(row.index, checked)
            }
            SymbolButton {
                objectName: "ruleActions"
                visible: !row.managed
                symbol: "ellipsis.circle"
                symbolSize: 18
                implicitWidth: 28
                implicitHeight: 28
                focusPolicy: Qt.NoFocus
                text: L10n.text("Rule Actions")
                onClicked: actions.popup(this, 0, height + 2)
            }
        }
    }

    Menu {
        id: actions
        objectName: "ruleActionsMenu"
        width: 220
        PickerMenuItem {
            text: L10n.text("Edit Rule…")
            onTriggered: Qt.callLater(() => row.rules.edit(row.index))
        }
        PickerMenuItem {
            text: L10n.text("Move Up")
            enabled: row.canMoveUp
            onTriggered: Qt.callLater(() => row.rules.moveUp(row.index))
        }
        PickerMenuItem {
            text: L10n.text("Move Down")
            enabled: row.canMoveDown
            onTriggered: Qt.callLater(() => row.rules.moveDown(row.index))
        }
        PickerMenuItem {
            text: L10n.text("Delete Rule")
            destructive: true
            onTriggered: Qt.callLater(() => row.rules.remove(row.index))
        }
    }
}
