import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// The status of the selected profile and the Apply button, over the bottom of the detail column.
Rectangle {
    id: footer
    required property WorkspaceModel workspace
    readonly property ApplyFooterView view: workspace.footer

    objectName: "applyFooter"
    // Room for a two-line explanation, as a narrow window or a long language needs.
    implicitHeight: Math.max(72, texts.implicitHeight + 28)
    // Opaque: the content scrolling under it must not show through.
    color: Theme.workspaceBackground

    Rectangle {
        anchors.top: parent.top
        width: parent.width
        height: 1
        color: Theme.separator
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 24
        anchors.rightMargin: 24
        spacing: 12

        ColumnLayout {
            id: texts
            Layout.fillWidth: true
            spacing: 5
            Label {
                objectName: "statusLine"
                Layout.fillWidth: true
                text: footer.view.statusLine
                color: Theme.primary
                font.pixelSize: 13
                font.weight: Font.DemiBold
                elide: Text.ElideRight
            }
            Label {
                objectName: "explanationLine"
                Layout.fillWidth: true
                text: footer.view.explanationLine
                color: Theme.secondary
                font.pixelSize: 12
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
            // Why the applied profile is in effect, where rules may switch. Built only while it
            // shows, so that it takes no room otherwise.
            Loader {
                Layout.fillWidth: true
                active: footer.workspace.selected.applied && footer.workspace.reason !== null && footer.workspace.reason.text.length > 0
                visible: active
                sourceComponent: RowLayout {
                    spacing: 8
                    Label {
                        objectName: "switchingReasonLine"
                        Layout.fillWidth: true
                        text: footer.workspace.reason.text
                        color: Theme.secondary
                        font.pixelSize: 12
                        elide: Text.ElideRight
                    }
                    LinkButton {
                        objectName: "footerResumeButton"
                        visible: footer.workspace.reason.canResume
                        text: L10n.text("Resume Automatic Switching")
                        onClicked: footer.workspace.reason.resume()
                    }
                }
            }
        }
        ProgressSpinner {
            objectName: "applyingIndicator"
            visible: footer.workspace.applying
            color: Theme.accentSymbol(footer.workspace.selected.accent, Theme.dark)
        }
        ApplyButton {
            objectName: "applyButton"
            symbol: "power"
            text: footer.view.applyTitle
            accent: footer.workspace.selected.accent
            enabled: !footer.workspace.applying && footer.view.canApply
            onClicked: footer.workspace.apply()
        }
    }
}
