import QtQuick
import QtQuick.Layouts
import Norvane

// The main window's content: the sidebar of profiles beside the selected profile's detail.
Rectangle {
    id: root
    required property WorkspaceModel workspace

    objectName: "workspaceView"
    color: Theme.workspaceBackground

    Announcer {
        announcement: root.workspace.announcement
    }

    RowLayout {
        anchors.fill: parent
        spacing: 0

        Sidebar {
            workspace: root.workspace
            Layout.preferredWidth: 224
            Layout.fillHeight: true
        }
        Rectangle {
            Layout.preferredWidth: 1
            Layout.fillHeight: true
            color: Theme.separator
        }
        // The selected profile's column is made after the first frame, which shows the sidebar.
        Loader {
            objectName: "detailLoader"
            Layout.fillWidth: true
            Layout.fillHeight: true
            asynchronous: true
            visible: !root.workspace.showingRules
            // By its address, so that even its types are loaded after the first frame.
            Component.onCompleted: setSource("DetailColumn.qml", { workspace: root.workspace })
        }
        // The rules page, made when first shown and kept.
        Loader {
            objectName: "rulesLoader"
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: root.workspace.showingRules
            property bool shown: false
            onVisibleChanged: if (visible && !shown) {
                shown = true
                setSource("../rules/RulesView.qml", { rules: root.workspace.rules, reason: root.workspace.reason })
            }
        }
    }
}
