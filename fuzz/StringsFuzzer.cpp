// The string tables and the substitution of arguments: a table of any content reads as the
// reference reading of a table says, and substitution agrees with a regular-expression reading
// of the placeholder rule.
#include "FuzzSupport.h"
#include "Localization/StringCatalogue.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace norvane;

namespace {

// "{N}" with N a decimal number below the argument count becomes that argument; anything else
// stays as it is.
QString referenceSubstitution(const QString &text, const QStringList &arguments) {
    static const QRegularExpression placeholder(QStringLiteral(R"(\{([0-9]+)\})"));
    QString result;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text)) {
        bool ok = false;
        const qlonglong index = match.captured(1).toLongLong(&ok);
        if (!ok || index >= arguments.size())
            continue;
        result += text.mid(copied, match.capturedStart() - copied) + arguments[index];
        copied = match.capturedEnd();
    }
    return result + text.mid(copied);
}

void fuzzTable(const QByteArray &table, const QString &key) {
    static QTemporaryDir bundle;
    static const bool made = QDir(bundle.path()).mkpath(QStringLiteral("ja.lproj"));
    FUZZ_CHECK(made);
    QFile file(bundle.filePath(QStringLiteral("ja.lproj/Localizable.json")));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(table);
    file.close();

    const StringCatalogue catalogue = StringCatalogue::load(bundle.path());
    const QJsonDocument document = QJsonDocument::fromJson(table);
    const QJsonObject object = document.object();
    const bool usable = document.isObject() &&
                        std::all_of(object.begin(), object.end(),
                                    [](const QJsonValue &value) { return value.isString(); });
    FUZZ_CHECK(catalogue.hasLanguage(QStringLiteral("ja")) == usable);
    FUZZ_CHECK(!catalogue.hasLanguage(QStringLiteral("en")));
    const QString expected = usable && object.contains(key) ? object.value(key).toString() : key;
    FUZZ_CHECK(catalogue.text(key, QStringLiteral("ja")) == expected);
    FUZZ_CHECK(catalogue.text(key, QStringLiteral("ko")) == key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input input(data, size);
    const QString text = input.text();
    QStringList arguments;
    for (int count = input.byte() % 4; count > 0; --count)
        arguments << input.text();
    FUZZ_CHECK(L10n::substitute(text, arguments) == referenceSubstitution(text, arguments));

    const QStringList preferred = input.text().split(u',');
    FUZZ_CHECK(L10n::supportedLanguages().contains(L10n::language(preferred)));

    fuzzTable(input.rest(), text);
    return 0;
}
