import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The rules page: automatic switching on or off, why the profile in effect is in effect, the rules
// in the order that decides between them, and Add Rule.
Item {
    id: page
    required property RulesModel rules
    required property SwitchingReason reason

    objectName: "rulesView"

    Flickable {
        id: scroller
        anchors.fill: parent
        contentWidth: width
        contentHeight: content.implicitHeight + 48
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: OverlayScrollBar {}

        ColumnLayout {
            id: content
            x: 24
            y: 24
            width: scroller.width - 48
            spacing: 12

            RowLayout {
                Layout.fillWidth: true
                spacing: 12
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 4
                    Heading {
                        Layout.fillWidth: true
                        text: L10n.text("Automatic Switching")
                        font.pixelSize: 23
                        wrapMode: Text.Wrap
                    }
                    Label {
                        Layout.fillWidth: true
                        text: L10n.text("Rules switch profiles by themselves. When several hold, the one higher in the list decides; when none holds any more, the profile from before comes back.")
                        color: Theme.secondary
                        font.pixelSize: 12
                        wrapMode: Text.Wrap
                    }
                }
                ToggleSwitch {
                    id: master
                    objectName: "automaticSwitchingSwitch"
                    Layout.alignment: Qt.AlignTop
                    checked: !page.rules.paused
                    enabled: page.rules.editable
                    Accessible.name: L10n.text("Automatic Switching")
                    onToggled: page.rules.setPaused(!checked)
                }
            }

            // Why the profile in effect is in effect, with the way back to the rules.
            RowLayout {
                Layout.fillWidth: true
                visible: page.reason.text.length > 0
                spacing: 10
                Label {
                    objectName: "switchingReason"
                    Layout.fillWidth: true
                    text: page.reason.text
                    color: Theme.primary
                    font.pixelSize: 12
                    wrapMode: Text.Wrap
                }
                DialogButton {
                    objectName: "resumeSwitchingButton"
                    visible: page.reason.canResume
                    text: L10n.text("Resume Automatic Switching")
                    onClicked: page.reason.resume()
                }
            }

            Label {
                objectName: "rulesNotice"
                Layout.fillWidth: true
                visible: text.length > 0
                text: page.rules.notice
                color: Theme.failure
                font.pixelSize: 12
                wrapMode: Text.Wrap
            }

            Surface {
                Layout.fillWidth: true
                implicitHeight: Math.max(list.contentHeight, empty.implicitHeight + 32) + 12

                Label {
                    id: empty
                    anchors.centerIn: parent
                    width: parent.width - 40
                    visible: page.rules.count === 0
                    text: L10n.text("No rules yet. Add one to switch profiles on battery, on a schedule or while an application runs.")
                    color: Theme.secondary
                    font.pixelSize: 12
                    wrapMode: Text.Wrap
                    horizontalAlignment: Text.AlignHCenter
                }

                // One tab stop: the arrows move between rules.
                ListView {
                    id: list
                    objectName: "rulesList"
                    anchors.fill: parent
                    anchors.margins: 6
                    interactive: false
                    spacing: 2
                    model: page.rules
                    activeFocusOnTab: count > 0
                    keyNavigationEnabled: false
                    highlightFollowsCurrentItem: false
                    currentIndex: 0
                    Accessible.role: Accessible.List
                    Accessible.name: L10n.text("Rules")
                    onActiveFocusChanged: if (activeFocus && currentItem) currentItem.forceActiveFocus()

                    function focusRow(row) {
                        currentIndex = Math.max(0, Math.min(row, count - 1))
                        if (currentItem)
                            currentItem.forceActiveFocus()
                    }
                    // Up and Down go from rule to rule; with Alt they move the rule, and the
                    // keyboard stays with it.
                    Keys.onPressed: event => {
                        const alt = event.modifiers & Qt.AltModifier
                        const row = currentIndex
                        if (event.key === Qt.Key_Up && !alt) {
                            focusRow(row - 1)
                        } else if (event.key === Qt.Key_Down && !alt) {
                            focusRow(row + 1)
                        } else if (event.key === Qt.Key_Up && currentItem && currentItem.canMoveUp) {
                            page.rules.moveUp(row)
                            Qt.callLater(() => focusRow(row - 1))
                        } else if (event.key === Qt.Key_Down && currentItem && currentItem.canMoveDown) {
                            page.rules.moveDown(row)
                            Qt.callLater(() => focusRow(row + 1))
                        } else {
                            return
                        }
                        event.accepted = true
                    }

                    delegate: RuleRow {
                        width: ListView.view.width
                        rules: page.rules
                        focus: ListView.isCurrentItem
                        onActiveFocusChanged: if (activeFocus) list.currentIndex = index
                        // Dropped past either end, the rule goes to that end.
                        onDropped: offset => {
                            const at = list.indexAt(10, y + height / 2 + offset)
                            page.rules.moveTo(index, at >= 0 ? at : offset > 0 ? list.count - 1 : 0)
                        }
                    }
                }
            }

            Label {
                objectName: "rulesError"
                Layout.fillWidth: true
                visible: text.length > 0
                text: page.rules.error
                color: Theme.failure
                font.pixelSize: 12
                wrapMode: Text.Wrap
            }

            RowLayout {
                Layout.fillWidth: true
                Item { Layout.fillWidth: true }
                DialogButton {
                    objectName: "addRuleButton"
                    prominent: true
                    enabled: page.rules.editable
                    text: L10n.text("Add Rule…")
                    onClicked: page.rules.add()
                }
            }

            // Whether a switch is told in a notice.
            RowLayout {
                Layout.fillWidth: true
                Layout.topMargin: 8
                visible: page.rules.notices !== null
                spacing: 12
                Label {
                    Layout.fillWidth: true
                    text: L10n.text("Notify When Rules Switch")
                    color: Theme.primary
                    font.pixelSize: 13
                    wrapMode: Text.Wrap
                }
                ToggleSwitch {
                    objectName: "ruleNoticesSwitch"
                    checked: page.rules.notices !== null && page.rules.notices.enabled
                    Accessible.name: L10n.text("Notify When Rules Switch")
                    onToggled: page.rules.notices.enabled = checked
                }
            }
        }
    }
}
