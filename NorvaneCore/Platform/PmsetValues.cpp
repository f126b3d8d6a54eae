#include "PmsetValues.h"

#include <QList>
#include <QtNumeric>
#include <limits>
#include <optional>

namespace norvane {

namespace {

// An optional sign followed by ASCII digits only; none when anything else appears or the value
// does not fit in 64 bits.
std::optional<qint64> decimalInteger(QStringView word) {
    bool negative = false;
    if (word.startsWith(u'+') || word.startsWith(u'-')) {
        negative = word.front() == u'-';
        word = word.mid(1);
    }
    if (word.isEmpty())
        return std::nullopt;
    // Accumulated as a negative number, whose range reaches one further than the positive one.
    qint64 value = 0;
    for (const QChar c : word) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (qMulOverflow(value, qint64(10), &value) ||
            qSubOverflow(value, qint64(c.unicode() - u'0'), &value))
            return std::nullopt;
    }
    if (negative)
        return value;
    if (value == std::numeric_limits<qint64>::min())
        return std::nullopt;
    return -value;
}

// The words of a line, split at runs of any Unicode whitespace.
QList<QStringView> words(QStringView line, qsizetype wanted) {
    QList<QStringView> result;
    qsizetype i = 0;
    while (i < line.size() && result.size() < wanted) {
        while (i < line.size() && line[i].isSpace())
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !line[i].isSpace())
            ++i;
        if (i > start)
            result << line.mid(start, i - start);
    }
    return result;
}

} // namespace

QHash<QString, qint64> pmsetValues(const QString &text) {
    QHash<QString, qint64> values;
    for (const QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        const QList<QStringView> pair = words(line, 2);
        if (pair.size() < 2)
            continue;
        if (const auto value = decimalInteger(pair[1]))
            values.insert(pair[0].toString(), *value);
    }
    return values;
}

} // namespace norvane
