#include "MinuteLabel.h"

#include "Localization/L10n.h"

namespace norvane {

namespace {

bool isBlank(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QStringView trimmedBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace

QString minuteLabel(qint64 minutes, const QString &zero) {
    if (minutes == 0)
        return zero;
    return L10n::text({"{0} min", {QString::number(minutes)}});
}

QString spokenMinutes(qint64 minutes, const QString &zero) {
    if (minutes == 0 && !zero.isEmpty())
        return zero;
    if (minutes == 1)
        return L10n::text("1 minute");
    return L10n::text({"{0} minutes", {QString::number(minutes)}});
}

const QList<int> &standardMinuteOptions() {
    static const QList<int> options{0, 1, 2, 5, 10, 15, 25, 30, 60, 120, 240, 480, 1440};
    return options;
}

std::optional<int> acceptedCustomMinutes(QStringView text) {
    const QStringView digits = trimmedBlanks(text);
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > 1440) // also keeps long digit runs from overflowing
            return std::nullopt;
    }
    if (value < 1)
        return std::nullopt;
    return int(value);
}

} // namespace norvane
