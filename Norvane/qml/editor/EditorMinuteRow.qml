import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// One duration of the editor: symbol and title, then a minute picker; under the title the
// administrator's limit on it, in the warning colour while the value is past it.
Item {
    id: row
    property string title
    property string symbol
    property string zero
    property int value
    property color accent
    // Shown instead of the picker when the system holds no value of its own for the row.
    property string note
    property string limit
    property bool overLimit: false
    signal edited(int minutes)

    Layout.fillWidth: true
    implicitHeight: Math.max(50, titles.implicitHeight + 16)
    opacity: enabled ? 1 : 0.45

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 12
        spacing: 10
        SymbolIcon {
            symbol: row.symbol
            color: Theme.accentSymbol(row.accent, Theme.dark)
            size: 17
        }
        ColumnLayout {
            id: titles
            Layout.fillWidth: true
            spacing: 2
            Label {
                Layout.fillWidth: true
                text: row.title
                color: Theme.primary
                font.pixelSize: 13
                elide: Text.ElideRight
            }
            Label {
                objectName: row.objectName + "Limit"
                Layout.fillWidth: true
                visible: row.limit.length > 0
                text: row.limit
                color: row.overLimit ? Theme.warning : Theme.secondary
                font.pixelSize: 11
                wrapMode: Text.Wrap
            }
        }
        Label {
            visible: row.note.length > 0
            text: row.note
            color: Theme.secondary
            font.pixelSize: 11
        }
        MinutePicker {
            objectName: row.objectName + "Picker"
            visible: row.note.length === 0
            title: row.title
            zero: row.zero
            value: row.value
            tint: row.accent
            enabled: row.enabled
            onEdited: minutes => row.edited(minutes)
        }
    }
}
