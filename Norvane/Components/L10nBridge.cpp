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
