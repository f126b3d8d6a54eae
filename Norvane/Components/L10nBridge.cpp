#include "L10nBridge.h"

#include "Localization/L10n.h"

namespace norvane {

QString L10nBridge::text(const QString &key, const QVariantList &arguments) const {
    QStringList texts;
    texts.reserve(arguments.size());
    for (const QVariant &argument : arguments)
        texts << argument.toString();
    return L10n::text(L10n::Message(key, texts));
}

} // namespace norvane

namespace norvane {

namespace {

bool isHangul(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x1100 && u <= 0x11FF) ||
           (u >= 0x3130 && u <= 0x318F);
}

} // namespace

QString L10nBridge::keepWords(const QString &text) {
    QString kept;
    kept.reserve(text.size() + text.size() / 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0 && isHangul(text[i - 1]) && isHangul(text[i]))
            kept += QChar(0x2060);
        kept += text[i];
    }
    return kept;
}

} // namespace norvane
