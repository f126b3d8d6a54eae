import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import QtQuick.Window
import Norvane

// The banner of the selected profile over its animated aurora (or, where the shader cannot run,
// the aurora at rest as a still gradient): icon, welcome or eyebrow line, title with the "Active"
// badge, introduction and three value pills.
Item {
    id: hero
    required property SelectedProfileView profile
    property bool effectsActive

    // Grows when a long title takes two lines, so nothing is cut.
    implicitHeight: Math.max(196, column.implicitHeight + column.anchors.topMargin + column.anchors.bottomMargin)

    HomeHeroModel {
        id: heroState
        objectName: "heroModel"
        profileId: hero.profile.profileId
        introduction: hero.profile.introduction
        energy: hero.profile.energy
        accent: hero.profile.accent
        family: hero.profile.family
        dark: Theme.dark
        graphicsApi: hero.GraphicsInfo.api
        effectsActive: hero.effectsActive
    }

    Component.onCompleted: heroState.appear()
    Component.onDestruction: heroState.disappear()

    Item {
        id: backdrop
        anchors.fill: parent
        opacity: heroState.revealed ? 1 : 0
        Behavior on opacity {
            enabled: heroState.revealAnimated
            NumberAnimation { duration: 900; easing.type: Easing.OutCubic }
        }

        // Created after the first frame: the gradient stands in until the shader is ready.
        Loader {
            id: auroraLoader
            property bool windowDrawn: false
            anchors.fill: parent
            asynchronous: true
            active: heroState.usesShader && windowDrawn
            sourceComponent: ShaderEffect {
                objectName: "aurora"
                property size viewSize: Qt.size(width, height)
                property real time: heroState.time()
                property color accent: hero.profile.accent
                property real dark: Theme.dark ? 1.0 : 0.0
                property real energy: hero.profile.energy
                property real seed: hero.profile.seed
                property real family: hero.profile.family
                fragmentShader: heroState.shaderUrl
                function report() {
                    if (status === ShaderEffect.Error)
                        heroState.reportShaderFailure()
                    else if (status === ShaderEffect.Compiled)
                        heroState.reportShaderCompiled()
                }
                onStatusChanged: report()
                Component.onCompleted: report()
            }
        }
        Rectangle {
            objectName: "gradientBackdrop"
            anchors.fill: parent
            visible: auroraLoader.status !== Loader.Ready
            radius: 20
            gradient: Gradient {
                GradientStop { position: 0 / 8; color: heroState.backdropBands[0] }
                GradientStop { position: 1 / 8; color: heroState.backdropBands[1] }
                GradientStop { position: 2 / 8; color: heroState.backdropBands[2] }
                GradientStop { position: 3 / 8; color: heroState.backdropBands[3] }
                GradientStop { position: 4 / 8; color: heroState.backdropBands[4] }
                GradientStop { position: 5 / 8; color: heroState.backdropBands[5] }
                GradientStop { position: 6 / 8; color: heroState.backdropBands[6] }
                GradientStop { position: 7 / 8; color: heroState.backdropBands[7] }
                GradientStop { position: 8 / 8; color: heroState.backdropBands[8] }
            }
            Rectangle {
                anchors.fill: parent
                radius: 20
                gradient: Gradient {
                    orientation: Gradient.Horizontal
                    GradientStop { position: 0.4; color: Qt.rgba(heroState.backdropGlow.r, heroState.backdropGlow.g, heroState.backdropGlow.b, 0) }
                    GradientStop { position: 1.0; color: heroState.backdropGlow }
                }
            }
        }
        Rectangle {
            anchors.fill: parent
            radius: 20
            color: Theme.heroScrim
            border.width: 1
            border.color: Qt.rgba(hero.profile.accent.r, hero.profile.accent.g, hero.profile.accent.b, 0.22)
        }
    }

    Connections {
        target: hero.Window.window
        enabled: !auroraLoader.windowDrawn
        function onAfterRendering() {
            auroraLoader.windowDrawn = true
        }
    }

    Timer {
        objectName: "auroraFrames"
        interval: heroState.frameInterval
        repeat: true
        running: heroState.animating && auroraLoader.status === Loader.Ready && hero.visible
        onTriggered: auroraLoader.item.time = heroState.time()
    }

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.leftMargin: 24
        anchors.rightMargin: 56
        anchors.topMargin: 18
        anchors.bottomMargin: 16
        spacing: 3
        opacity: backdrop.opacity

        ModeIcon {
            Layout.bottomMargin: 4
            symbol: hero.profile.symbol
            accent: hero.profile.accent
            base: Theme.panelBackground
            size: 36
        }
        Label {
            objectName: "heroEyebrow"
            Layout.topMargin: 2
            text: heroState.eyebrow
            color: Theme.primary
            font.pixelSize: 12
            font.weight: Font.Medium
        }
        RowLayout {
            id: titleRow
            Layout.fillWidth: true
            spacing: 10
            // A title too wide for one line at full size takes up to two lines at a smaller
            // size, and is elided beyond that; the badge keeps its room beside it.
            TextMetrics {
                id: fullTitle
                text: hero.profile.title
                font.pixelSize: 36
                font.weight: Font.Bold
            }
            Heading {
                objectName: "heroTitle"
                readonly property bool fitsOnOneLine: Math.ceil(fullTitle.advanceWidth) + 2 <= titleRow.width - (badge.visible ? badge.width + titleRow.spacing : 0)
                Layout.fillWidth: true
                Layout.maximumWidth: Math.ceil(implicitWidth) + 2
                text: hero.profile.title
                font.pixelSize: fitsOnOneLine ? 36 : 26
                font.weight: Font.Bold
                lineHeight: 0.92
                wrapMode: fitsOnOneLine ? Text.NoWrap : Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
            ActiveBadge {
                id: badge
                objectName: "heroActiveBadge"
                Layout.alignment: Qt.AlignVCenter
                visible: hero.profile.applied
                accent: hero.profile.accent
                fontSize: 11
            }
        }
        Label {
            objectName: "heroBody"
            Layout.fillWidth: true
            text: heroState.body
            color: Theme.primary
            font.pixelSize: 14
            wrapMode: Text.Wrap
            maximumLineCount: 3
            elide: Text.ElideRight
        }
        Item { Layout.fillHeight: true }
        RowLayout {
            spacing: 8
            HeroPill { symbol: "display"; text: hero.profile.displayPill; tint: hero.profile.accent }
            HeroPill { symbol: "moon.zzz"; text: hero.profile.sleepPill; tint: hero.profile.accent }
            HeroPill { symbol: "photo.on.rectangle"; text: hero.profile.screenSaverPill; tint: hero.profile.accent }
        }
    }
}
