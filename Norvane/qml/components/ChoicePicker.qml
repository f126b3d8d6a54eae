import QtQuick
import QtQuick.Controls.Basic
import Norvane

// A drop-down choice in the window's colours, light or dark, its list in the same.
ComboBox {
    id: control

    implicitHeight: 30
    font.pixelSize: 13
    hoverEnabled: true

    contentItem: Label {
        leftPadding: 10
        rightPadding: 28
        text: control.displayText
        color: Theme.primary
        font: control.font
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    indicator: SymbolIcon {
        x: control.width - width - 9
        anchors.verticalCenter: parent.verticalCenter
        symbol: "chevron.up.chevron.down"
        color: Theme.secondary
        size: 12
    }
    background: Rectangle {
        radius: 7
        color: control.hovered ? Theme.controlFill : Theme.panelBackground
        border.width: 1
        border.color: Theme.separator
    }
    delegate: ItemDelegate {
        id: choice
        required property var modelData
        required property int index
        width: ListView.view ? ListView.view.width : control.width
        highlighted: control.highlightedIndex === index
        text: control.textRole ? modelData[control.textRole] : modelData
        contentItem: Label {
            text: choice.text
            color: choice.highlighted ? Theme.onAccent : Theme.primary
            font.pixelSize: 13
            elide: Text.ElideRight
        }
        background: Rectangle {
            radius: 5
            color: choice.highlighted ? Theme.highlight : "transparent"
        }
    }
    popup: Popup {
        y: control.height + 2
        width: control.width
        implicitHeight: Math.min(contentItem.implicitHeight + 8, 320)
        padding: 4
        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: control.popup.visible ? control.delegateModel : null
            currentIndex: control.highlightedIndex
            ScrollBar.vertical: OverlayScrollBar {}
        }
        background: Rectangle {
            radius: 8
            color: Theme.panelBackground
            border.color: Theme.separator
        }
    }
    opacity: enabled ? 1 : 0.45
    FocusRing { shown: control.visualFocus || control.activeFocus; controlRadius: 7 }
}
