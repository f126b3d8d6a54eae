import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The rule editor's content: the condition, the fields it needs, the profile, the rule as a
// sentence, and the buttons. What is wrong shows beside its field. Return saves, Escape cancels.
Rectangle {
    id: root
    required property RuleEditorModel editor

    objectName: "ruleEditorView"
    implicitWidth: 520
    implicitHeight: content.height + 18 + buttons.implicitHeight + 56
    color: Theme.workspaceBackground
    border.width: 1
    border.color: Theme.separator
    Component.onCompleted: conditionPicker.forceActiveFocus()

    Keys.onPressed: event => {
        if (event.key === Qt.Key_Escape)
            root.editor.cancel()
        else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter)
            root.editor.save()
        else
            return
        event.accepted = true
    }

    component FieldLabel: Label {
        Layout.preferredWidth: 110
        Layout.alignment: Qt.AlignTop
        Layout.topMargin: 6
        color: Theme.primary
        font.pixelSize: 13
        wrapMode: Text.Wrap
    }
    component FieldError: Label {
        Layout.fillWidth: true
        visible: text.length > 0
        color: Theme.failure
        font.pixelSize: 11
        wrapMode: Text.Wrap
    }
    component Field: TextField {
        id: field
        color: Theme.primary
        placeholderTextColor: Theme.tertiary
        selectByMouse: true
        font.pixelSize: 13
        implicitHeight: 30
        background: Rectangle {
            radius: 7
            color: Theme.panelBackground
            border.width: 1
            border.color: Theme.separator
        }
        FocusRing { shown: field.activeFocus; controlRadius: 7 }
    }
    component Picker: ChoicePicker {}

    Flickable {
        id: scroller
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

        ColumnLayout {
            id: content
            x: 28
            y: 28
            width: scroller.width - 56
            spacing: 14

            Heading {
                objectName: "ruleEditorHeading"
                text: root.editor.heading
                font.pixelSize: 23
            }

            GridLayout {
                Layout.fillWidth: true
                columns: 2
                columnSpacing: 12
                rowSpacing: 12

                FieldLabel { text: L10n.text("When") }
                Picker {
                    id: conditionPicker
                    objectName: "conditionPicker"
                    Layout.fillWidth: true
                    model: root.editor.conditions
                    textRole: "title"
                    currentIndex: root.editor.condition
                    Accessible.name: L10n.text("When")
                    onActivated: index => root.editor.condition = index
                }

                // The battery level.
                FieldLabel {
                    visible: levelRow.visible
                    text: L10n.text("Battery level")
                }
                ColumnLayout {
                    id: levelRow
                    Layout.fillWidth: true
                    visible: root.editor.fields === "level"
                    RowLayout {
                        SpinBox {
                            id: level
                            objectName: "levelField"
                            from: 1
                            to: 99
                            editable: true
                            value: root.editor.percent
                            Accessible.name: L10n.text("Battery level")
                            onValueModified: root.editor.percent = value
                        }
                        Label { text: "%"; color: Theme.primary; font.pixelSize: 13 }
                    }
                    FieldError { objectName: "levelError"; text: root.editor.conditionError }
                }

                // The days and times of a schedule.
                FieldLabel {
                    visible: scheduleRows.visible
                    text: L10n.text("Days")
                }
                ColumnLayout {
                    id: scheduleRows
                    Layout.fillWidth: true
                    visible: root.editor.fields === "schedule"
                    spacing: 8
                    Flow {
                        Layout.fillWidth: true
                        spacing: 4
                        Accessible.role: Accessible.Grouping
                        Accessible.name: L10n.text("Days")
                        Repeater {
                            model: root.editor.days
                            delegate: Button {
                                id: dayButton
                                required property var modelData
                                objectName: "day" + modelData.day
                                checkable: true
                                checked: modelData.on
                                text: modelData.shortName
                                Accessible.name: modelData.name
                                Accessible.checkable: true
                                Accessible.checked: checked
                                focusPolicy: Qt.StrongFocus
                                implicitWidth: Math.max(40, contentItem.implicitWidth + 16)
                                implicitHeight: 28
                                onClicked: root.editor.toggleDay(modelData.day)
                                contentItem: Label {
                                    text: dayButton.text
                                    color: dayButton.checked ? Theme.onAccent : Theme.primary
                                    font.pixelSize: 12
                                    horizontalAlignment: Text.AlignHCenter
                                    verticalAlignment: Text.AlignVCenter
                                }
                                background: Rectangle {
                                    radius: 7
                                    color: dayButton.checked ? Theme.accentFill(Theme.highlight, Theme.dark) : Theme.panelBackground
                                    border.width: dayButton.checked ? 0 : 1
                                    border.color: Theme.separator
                                }
                                FocusRing { controlRadius: 7 }
                            }
                        }
                    }
                    FieldError { objectName: "daysError"; text: root.editor.conditionError }
                    RowLayout {
                        spacing: 8
                        Field {
                            objectName: "startField"
                            Layout.preferredWidth: 90
                            text: root.editor.startText
                            Accessible.name: L10n.text("From")
                            placeholderText: root.editor.timeExample
                            onTextEdited: root.editor.startText = text
                        }
                        Label { text: "–"; color: Theme.primary }
                        Field {
                            objectName: "endField"
                            Layout.preferredWidth: 90
                            text: root.editor.endText
                            Accessible.name: L10n.text("Until")
                            placeholderText: root.editor.timeExample
                            onTextEdited: root.editor.endText = text
                        }
                    }
                    FieldError { objectName: "timeError"; text: root.editor.timeError }
                }

                // The application.
                FieldLabel {
                    visible: applicationRows.visible
                    text: L10n.text("Application")
                }
                ColumnLayout {
                    id: applicationRows
                    Layout.fillWidth: true
                    visible: root.editor.fields === "application"
                    spacing: 6
                    Picker {
                        objectName: "applicationPicker"
                        Layout.fillWidth: true
                        visible: root.editor.applications.length > 0
                        model: root.editor.applications
                        textRole: "name"
                        displayText: L10n.text("Choose an Installed Application…")
                        Accessible.name: L10n.text("Installed applications")
                        onActivated: index => root.editor.application = root.editor.applications[index].id
                    }
                    Field {
                        objectName: "applicationField"
                        Layout.fillWidth: true
                        text: root.editor.application
                        Accessible.name: L10n.text("Application")
                        placeholderText: L10n.text("Program name, desktop-file id or bundle identifier")
                        onTextEdited: root.editor.application = text
                    }
                    FieldError { objectName: "applicationError"; text: root.editor.conditionError }
                }

                FieldLabel { text: L10n.text("Use") }
                ColumnLayout {
                    Layout.fillWidth: true
                    Picker {
                        objectName: "profilePicker"
                        Layout.fillWidth: true
                        model: root.editor.profiles
                        textRole: "title"
                        currentIndex: root.editor.profile
                        Accessible.name: L10n.text("Profile")
                        onActivated: index => root.editor.profile = index
                    }
                    FieldError { objectName: "profileError"; text: root.editor.profileError }
                }
            }

            Label {
                objectName: "ruleSentence"
                Layout.fillWidth: true
                text: root.editor.sentence
                color: Theme.secondary
                font.pixelSize: 12
                wrapMode: Text.Wrap
            }
            FieldError { objectName: "ruleEditorError"; text: root.editor.error }
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
        Item { Layout.fillWidth: true }
        DialogButton {
            objectName: "cancelButton"
            text: L10n.text("Cancel")
            onClicked: root.editor.cancel()
        }
        DialogButton {
            objectName: "saveButton"
            prominent: true
            text: L10n.text("Save Rule")
            onClicked: root.editor.save()
        }
    }
}
