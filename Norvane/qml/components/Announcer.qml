import QtQuick
import Norvane

// Tells screen readers each message of `announcement`: an invisible object of the notification
// role that appears with the message as its name. A new object for every message, so that no
// screen reader reads the name it kept of the one before.
Item {
    id: announcer
    required property Announcement announcement

    width: 1
    height: 1

    Loader {
        id: message
        active: false
        sourceComponent: Item {
            width: 1
            height: 1
            visible: false
            Accessible.role: Accessible.Notification
            Accessible.name: announcer.announcement.text
            // Shown once made: the platform reports the object shown, which screen readers read.
            Component.onCompleted: Qt.callLater(() => visible = true)
        }
    }
    Connections {
        target: announcer.announcement
        function onAnnounced() {
            message.active = false
            message.active = true
        }
    }
}
