#pragma once

#include "L10n.h"

#include <QHash>
#include <QString>

namespace norvane {

// The string tables of one resource bundle: for each supported language that has a readable
// table, a map from English key to translation.
class StringCatalogue {
public:
    // Reads <bundle>/<code>.lproj/Localizable.json for every supported language. A missing
    // folder, a missing file, or a file that is not a JSON object of strings leaves that
    // language out; the lookup then falls back to English.
    static StringCatalogue load(const QString &bundlePath);

    [[nodiscard]] bool hasLanguage(const QString &code) const { return m_tables.contains(code); }

    // The text of `message` in the supported language `code`, with its arguments substituted.
    [[nodiscard]] QString text(const L10n::Message &message, const QString &code) const;

private:
    using Table = QHash<QString, QString>;
    [[nodiscard]] const QString *find(const QString &code, const QString &key) const;

    QHash<QString, Table> m_tables;
};

} // namespace norvane
