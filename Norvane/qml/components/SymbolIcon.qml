import QtQuick
import Norvane

// A symbol image by its system symbol name, tinted.
Image {
    id: root
    property string symbol
    property color color: Theme.primary
    property real size: 16

    width: size
    height: size
    source: symbol.length > 0 ? Symbols.url(symbol, color) : ""
    sourceSize: Qt.size(Math.ceil(size * Screen.devicePixelRatio), Math.ceil(size * Screen.devicePixelRatio))
    fillMode: Image.PreserveAspectFit
    smooth: true
    // Drawn off the main thread, so the first frame does not wait for the symbols.
    asynchronous: true
}
