#include "Graphemes.h"

#include <QTextBoundaryFinder>

namespace norvane::graphemes {

qsizetype count(const QString &text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype result = 0;
    while (finder.toNextBoundary() > 0)
        ++result;
    return result;
}

QString leading(const QString &text, qsizetype n) {
    if (n <= 0)
        return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            break;
        end = next;
    }
    return text.first(end);
}

} // namespace norvane::graphemes
