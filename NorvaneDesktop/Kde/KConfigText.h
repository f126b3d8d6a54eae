#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace norvane {

// The text of one KDE configuration file ("powerdevilrc"), read and edited line by line so that
// every line Pellor does not change keeps its bytes: comments, the order of groups, spacing, KDE's
// markers ("[$i]" immutable, "[$e]" expanded, localized keys) and escapes. KConfig itself rewrites
// a whole file, sorted and without its comments.
//
// A group is named by its path ({"AC", "Display"} is "[AC][Display]"); the empty path is the
// entries before the first group. Values are the raw text after "=", trimmed, as KConfig reads
// plain numbers and booleans.
class KConfigText {
public:
    explicit KConfigText(const QByteArray &bytes = {});

    [[nodiscard]] QByteArray bytes() const;

    // The group has at least one entry (KConfig does not see a group without any).
    [[nodiscard]] bool hasGroup(const QStringList &group) const;
    // The value of the last entry of `key` in the group, or none.
    [[nodiscard]] std::optional<QString> value(const QStringList &group, const QString &key) const;
    // KConfig refuses to change it: the whole file, the group or the entry carries "[$i]".
    [[nodiscard]] bool isImmutable(const QStringList &group, const QString &key = {}) const;
    // The group or one of its entries carries "[$i]".
    [[nodiscard]] bool isGroupLocked(const QStringList &group) const;
    // The key's entry asks for shell expansion ("[$e]"), so its text is not its value.
    [[nodiscard]] bool isExpanded(const QStringList &group, const QString &key) const;
    // The group's lines from its header to its last line that is not blank, joined; empty when
    // the group has no header.
    [[nodiscard]] QByteArray groupText(const QStringList &group) const;

    // Changes the value of the key's last entry in place, or adds an entry after the group's last
    // one, or adds the group where KConfig would keep it.
    void setValue(const QStringList &group, const QString &key, const QString &value);
    // Removes the key's entries; a group left without entries or comments goes with them.
    void removeEntry(const QStringList &group, const QString &key);
    // Removes the group's lines, with the blank lines that separated it from the next group.
    void removeGroup(const QStringList &group);
    // Puts back the lines groupText() gave (they name their group in their first line) where
    // KConfig keeps the group: before the first group that sorts after it, else at the end.
    // removeGroup() undoes it byte for byte.
    void insertGroupText(const QStringList &group, const QByteArray &text);
    // The text is empty or ends with a line break. Edits at the end add one where it lacks.
    [[nodiscard]] bool endsWithLineBreak() const;
    // Adds or takes away the line break at the end of a text that is not empty.
    void setFinalLineBreak(bool present);

private:
    enum class Kind { blank, comment, header, entry, other };
    struct Line {
        QByteArray text; // with its line break
        Kind kind = Kind::other;
        QStringList group;  // header: the group it opens; entry: the group it belongs to
        QString key;        // entry: the key without its markers
        QString locale;     // entry: "de" of "Name[de]"
        QByteArray options; // header or entry: the letters of "[$…]" markers
    };

    void parse(const QByteArray &bytes);
    [[nodiscard]] static Line classify(const QByteArray &text);
    void regroup();
    [[nodiscard]] QList<qsizetype> headers(const QStringList &group) const;
    // The end of the block that the header at `header` opens: the next header, less the comments
    // right above it, which belong to that group.
    [[nodiscard]] qsizetype blockEnd(qsizetype header) const;
    [[nodiscard]] std::optional<qsizetype> lastEntry(const QStringList &group,
                                                     const QString &key) const;
    // Where a new group's lines go, and whether a blank line separates them from what comes
    // before (at the end of the file) or after (before the next group).
    [[nodiscard]] qsizetype insertionPoint(const QStringList &group, bool &atEnd) const;
    void insertLines(qsizetype at, const QList<QByteArray> &texts);
    void ensureFinalLineBreak();

    QList<Line> m_lines;
    bool m_fileImmutable = false;
};

} // namespace norvane
