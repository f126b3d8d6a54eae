#include "ProfileIcon.h"

#include "Localization/L10n.h"

namespace norvane {

namespace {

struct IconInfo {
    const char16_t *rawValue;
    const char16_t *symbol;
    const char *titleKey;
};

constexpr std::array<IconInfo, 6> kIcons{{
    {u"leaf", u"leaf", L10n::noop("Normal")},
    {u"sparkles", u"sparkles", L10n::noop("Vibe")},
    {u"focus", u"scope", L10n::noop("Focus")},
    {u"presentation", u"play.rectangle", L10n::noop("Presentation")},
    {u"download", u"arrow.down.circle", L10n::noop("Download")},
    {u"sliders", u"slider.horizontal.3", L10n::noop("Custom")},
}};

} // namespace

std::optional<ProfileIcon> ProfileIcon::fromRawValue(QStringView rawValue) {
    for (const ProfileIcon icon : allCases())
        if (rawValue == QStringView(kIcons[icon.value()].rawValue))
            return icon;
    return std::nullopt;
}

const std::array<ProfileIcon, 6> &ProfileIcon::allCases() {
    static constexpr std::array<ProfileIcon, 6> cases{leaf,         sparkles, focus,
                                                      presentation, download, sliders};
    return cases;
}

QString ProfileIcon::rawValue() const {
    return QString::fromUtf16(kIcons[m_value].rawValue);
}

QString ProfileIcon::symbol() const {
    return QString::fromUtf16(kIcons[m_value].symbol);
}

QString ProfileIcon::title() const {
    return L10n::text(kIcons[m_value].titleKey);
}

} // namespace norvane
