import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Norvane

// "Why isn't my Mac sleeping?": when the display turns off and the Mac sleeps, what keeps them
// on, Low Power Mode, and Copy Report.
Rectangle {
    id: root
    required property SleepDiagnosisModel diagnosis

    objectName: "diagnosisSection"
    implicitHeight: column.implicitHeight + 36
    radius: 14
    color: Qt.rgba(Theme.primary.r, Theme.primary.g, Theme.primary.b, 0.035)

    component Sentence: Label {
        Layout.fillWidth: true
        color: Theme.primary
        font.pixelSize: 12
        wrapMode: Text.WordWrap
    }
    component Holders: ColumnLayout {
        id: holders
        property string heading
        property var names: []
        property string prefix
        Layout.fillWidth: true
        Layout.leftMargin: 12
        spacing: 3
        visible: names.length > 0
        Label {
            text: holders.heading
            color: Theme.secondary
            font.pixelSize: 12
        }
        Repeater {
            model: holders.names
            Label {
                required property string modelData
                required property int index
                objectName: holders.prefix + index
                Layout.fillWidth: true
                text: "• " + modelData
                color: Theme.secondary
                font.pixelSize: 12
                wrapMode: Text.WordWrap
            }
        }
    }

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 18
        spacing: 8
        RowLayout {
            spacing: 7
            SymbolIcon {
                symbol: "moon.zzz"
                color: Theme.primary
                size: 16
            }
            Heading {
                Layout.fillWidth: true
                text: L10n.systemText("Why isn't my Mac sleeping?", "Why isn't this computer sleeping?")
                font.pixelSize: 13
                wrapMode: Text.WordWrap
            }
        }
        Sentence {
            objectName: "diagnosisDisplay"
            text: root.diagnosis.displayText
        }
        Holders {
            heading: L10n.text("Kept on by:")
            names: root.diagnosis.displayHolders
            prefix: "displayHolder."
        }
        Sentence {
            objectName: "diagnosisSleep"
            text: root.diagnosis.sleepText
        }
        Holders {
            heading: L10n.text("Kept awake by:")
            names: root.diagnosis.sleepHolders
            prefix: "sleepHolder."
        }
        Sentence {
            objectName: "diagnosisLowPower"
            text: root.diagnosis.lowPowerText
        }
        RowLayout {
            Layout.topMargin: 4
            spacing: 10
            DialogButton {
                objectName: "copyReportButton"
                text: L10n.text("Copy Report")
                enabled: root.diagnosis.ready
                onClicked: root.diagnosis.copyReport()
            }
            Label {
                objectName: "reportCopied"
                Layout.fillWidth: true
                visible: root.diagnosis.reportCopied
                text: L10n.text("Report copied to the clipboard.")
                color: Theme.secondary
                font.pixelSize: 11
                wrapMode: Text.WordWrap
            }
        }
    }
}
