import QtQuick
import Norvane

// A small indeterminate progress indicator: a three-quarter ring turning while it runs.
Item {
    id: spinner
    property color color: Theme.secondary
    property bool running: visible

    implicitWidth: 18
    implicitHeight: 18
    Accessible.role: Accessible.Animation
    Accessible.ignored: !visible
    Accessible.name: L10n.text("Applying profile…")

    Canvas {
        id: ring
        anchors.fill: parent
        onPaint: {
            const ctx = getContext("2d");
            const line = Math.max(2, width / 8);
            ctx.reset();
            ctx.lineWidth = line;
            ctx.lineCap = "round";
            ctx.strokeStyle = Qt.rgba(spinner.color.r, spinner.color.g, spinner.color.b, 0.22);
            ctx.beginPath();
            ctx.arc(width / 2, height / 2, (width - line) / 2, 0, 2 * Math.PI);
            ctx.stroke();
            ctx.strokeStyle = spinner.color;
            ctx.beginPath();
            ctx.arc(width / 2, height / 2, (width - line) / 2, 0, 1.5 * Math.PI);
            ctx.stroke();
        }
        Connections {
            target: spinner
            function onColorChanged() { ring.requestPaint() }
        }
        NumberAnimation on rotation {
            from: 0
            to: 360
            duration: 900
            loops: Animation.Infinite
            running: spinner.running
        }
    }
}
