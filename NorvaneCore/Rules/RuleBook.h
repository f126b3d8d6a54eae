#pragma once

#include "Rule.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace norvane {

// The person's rules, in the order that decides between them, with what the person said about
// automatic switching as a whole. Kept in rules.json beside the profiles file (versioned, written
// whole and durably, owner-only) and read by Pellor and pellorctl alike. A file that cannot be
// used is named in loadError(); the book then holds no rules and refuses every change until the
// file is set aside, and applying profiles by hand goes on as ever. A rule whose profile is gone
// is kept: it is broken, not dropped. Not thread-safe.
class RuleBook {
public:
    // `path` none: Norvane/rules.json in the user's application data folder.
    explicit RuleBook(const std::optional<QString> &path = std::nullopt);

    [[nodiscard]] static QString defaultPath();
    // The rules of a document in the rules file's format, each valid. Throws PlatformError or
    // ConfigurationError saying what is wrong.
    [[nodiscard]] static QList<Rule> rulesIn(const QByteArray &data);
    [[nodiscard]] const QString &path() const { return m_path; }

    [[nodiscard]] const QList<Rule> &rules() const { return m_document.rules; }
    // The person paused automatic switching until resumed.
    [[nodiscard]] bool isPaused() const { return m_document.paused; }
    // Whether a rule that already holds when Pellor starts applies then (the default), or waits
    // for its condition to start holding again.
    [[nodiscard]] bool appliesAtStart() const { return m_document.applyAtStart; }
    [[nodiscard]] const std::optional<QString> &loadError() const { return m_loadError; }
    // How many rules use the profile.
    [[nodiscard]] qsizetype uses(const QString &profileId) const;

    // Reads the file again, as another process may have changed it; true when what it holds
    // differs from before.
    bool reload();

    // Each change validates, writes the whole file, and only then becomes current. They throw
    // ConfigurationError for an impossible rule, an index out of range or a damaged file, and
    // PlatformError when the file cannot be written. Indexes count from 0.
    void add(const Rule &rule);
    // Puts `rule` in the place of the rule at `index` (an edit keeps its place in the order).
    void replace(qsizetype index, const Rule &rule);
    void remove(qsizetype index);
    void move(qsizetype from, qsizetype to);
    void setEnabled(qsizetype index, bool enabled);
    void setPaused(bool paused);
    void setAppliesAtStart(bool applies);
    // Renames a damaged file beside itself ("rules-damaged-<date>.json") and starts without
    // rules; returns where it went, or none when the file was not damaged.
    std::optional<QString> setAside(const QDate &today);

private:
    struct Document {
        bool paused = false;
        bool applyAtStart = true;
        QList<Rule> rules;

        friend bool operator==(const Document &, const Document &) = default;
        static Document decode(const QByteArray &data);
        [[nodiscard]] QByteArray encoded() const;
    };

    void load();
    void commit(const Document &document);
    void checkIndex(qsizetype index) const;

    QString m_path;
    Document m_document;
    std::optional<QString> m_loadError;
};

} // namespace norvane
