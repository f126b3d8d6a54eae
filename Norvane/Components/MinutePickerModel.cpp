#include "MinutePickerModel.h"

#include "Localization/L10n.h"
#include "MinuteLabel.h"

namespace norvane {

MinutePickerModel::MinutePickerModel(QObject *parent)
    : QObject(parent), m_announcement(new Announcement(this)) {
    connect(this, &MinutePickerModel::titleChanged, this, &MinutePickerModel::labelChanged);
    connect(this, &MinutePickerModel::valueChanged, this, &MinutePickerModel::labelChanged);
    connect(this, &MinutePickerModel::zeroChanged, this, &MinutePickerModel::labelChanged);
    connect(this, &MinutePickerModel::zeroChanged, this, &MinutePickerModel::itemsChanged);
}

void MinutePickerModel::setTitle(const QString &title) {
    if (m_title == title)
        return;
    m_title = title;
    emit titleChanged();
}

void MinutePickerModel::setValue(int value) {
    if (m_value == value)
        return;
    m_value = value;
    emit valueChanged();
}

void MinutePickerModel::setZero(const QString &zero) {
    if (m_zero == zero)
        return;
    m_zero = zero;
    emit zeroChanged();
}

QString MinutePickerModel::label() const {
    return minuteLabel(m_value, m_zero);
}

QString MinutePickerModel::accessibleName() const {
    return L10n::text({"{0}, {1}", {m_title, spokenMinutes(m_value, m_zero)}});
}

QString MinutePickerModel::fieldName() const {
    return L10n::text({"{0}, {1}", {m_title, L10n::text("minutes")}});
}

QVariantList MinutePickerModel::items() const {
    QVariantList items;
    for (const int option : standardMinuteOptions()) {
        items << QVariantMap{{QStringLiteral("value"), option},
                             {QStringLiteral("label"), minuteLabel(option, m_zero)}};
    }
    return items;
}

int MinutePickerModel::checkedValue() const {
    return standardMinuteOptions().contains(m_value) ? m_value : -1;
}

int MinutePickerModel::checkedIndex() const {
    return int(standardMinuteOptions().indexOf(m_value));
}

void MinutePickerModel::setCustom(const QString &custom) {
    if (m_custom == custom)
        return;
    m_custom = custom;
    emit customChanged();
}

void MinutePickerModel::choose(int minutes) {
    emit valueChosen(minutes);
}

void MinutePickerModel::openCustom() {
    setCustom(QString::number(std::max(m_value, 1)));
    setInvalid(false);
    setShowingCustom(true);
}

void MinutePickerModel::cancelCustom() {
    setShowingCustom(false);
}

void MinutePickerModel::commitCustom() {
    const std::optional<int> minutes = acceptedCustomMinutes(m_custom);
    if (!minutes) {
        setInvalid(true);
        m_announcement->announce(L10n::text("Enter a whole number from 1 to 1440 minutes"));
        return;
    }
    setShowingCustom(false);
    emit valueChosen(*minutes);
}

void MinutePickerModel::setShowingCustom(bool showing) {
    if (m_showingCustom == showing)
        return;
    m_showingCustom = showing;
    emit showingCustomChanged();
}

void MinutePickerModel::setInvalid(bool invalid) {
    if (m_invalid == invalid)
        return;
    m_invalid = invalid;
    emit invalidChanged();
}

} // namespace norvane
