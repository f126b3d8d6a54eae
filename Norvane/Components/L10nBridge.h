#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QVariantList>

namespace norvane {

// The message catalogue for QML, as the singleton L10n: text(key) or text(key, [arguments]),
// with the English key written literally at the call site so the key scanner sees it.
class L10nBridge : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(L10n)
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QString text(const QString &key, const QVariantList &arguments = {}) const;

    // A paragraph that wraps only between words: Korean is written with spaces between words,
    // but line breaking would otherwise split a word between any two of its syllables. Word
    // joiners (U+2060, not drawn) keep each run of Hangul whole.
    Q_INVOKABLE static QString keepWords(const QString &text);
};

} // namespace norvane
