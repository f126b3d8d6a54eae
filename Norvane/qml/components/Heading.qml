import QtQuick
import Norvane

// The title of a window or a section, which screen readers list as a heading.
Text {
    color: Theme.primary
    font.pixelSize: 15
    font.weight: Font.DemiBold
    Accessible.role: Accessible.Heading
    Accessible.name: text
}
