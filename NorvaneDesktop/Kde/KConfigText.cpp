#include "KConfigText.h"

#include <algorithm>

namespace norvane {

namespace {

// KConfig keeps its groups sorted by their full names, the path joined with the group separator
// it uses inside ("AC\x1dDisplay" comes right after "AC").
QByteArray sortKey(const QStringList &group) {
    return group.join(QChar(0x1d)).toUtf8();
}

QByteArray headerText(const QStringList &group) {
    QByteArray text;
    for (const QString &part : group)
        text += '[' + part.toUtf8() + ']';
    return text + '\n';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

KConfigText::KConfigText(const QByteArray &bytes) {
    parse(bytes);
}

QByteArray KConfigText::bytes() const {
    QByteArray all;
    for (const Line &line : m_lines)
        all += line.text;
    return all;
}

void KConfigText::parse(const QByteArray &bytes) {
    m_lines.clear();
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        m_lines << classify(bytes.mid(start, next - start));
        start = next;
    }
    regroup();
}

KConfigText::Line KConfigText::classify(const QByteArray &text) {
    Line line;
    line.text = text;
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        line.kind = Kind::blank;
    } else if (trimmed.startsWith('#')) {
        line.kind = Kind::comment;
    } else if (trimmed.startsWith('[')) {
        qsizetype at = 0;
        while (at < trimmed.size() && trimmed[at] == '[') {
            const qsizetype close = trimmed.indexOf(']', at + 1);
            if (close < 0)
                return line; // not a header KConfig reads
            const QByteArray part = trimmed.mid(at + 1, close - at - 1);
            if (part.startsWith('$'))
                line.options += part.mid(1);
            else
                line.group << QString::fromUtf8(part);
            at = close + 1;
        }
        if (at == trimmed.size())
            line.kind = Kind::header;
    } else if (const qsizetype equals = trimmed.indexOf('='); equals > 0) {
        const QByteArray key = trimmed.left(equals).trimmed();
        qsizetype bracket = key.indexOf('[');
        line.key = QString::fromUtf8(bracket < 0 ? key : key.left(bracket));
        while (bracket >= 0) {
            const qsizetype close = key.indexOf(']', bracket);
            if (close < 0)
                break;
            const QByteArray part = key.mid(bracket + 1, close - bracket - 1);
            if (part.startsWith('$'))
                line.options += part.mid(1);
            else
                line.locale = QString::fromUtf8(part);
            bracket = key.indexOf('[', close);
        }
        line.kind = Kind::entry;
    }
    return line;
}

void KConfigText::regroup() {
    m_fileImmutable = false;
    QStringList current;
    bool seenGroup = false;
    for (Line &line : m_lines) {
        if (line.kind == Kind::header) {
            // "[$i]" before any group locks the whole file.
            if (line.group.isEmpty() && !seenGroup && line.options.contains('i'))
                m_fileImmutable = true;
            if (!line.group.isEmpty()) {
                current = line.group;
                seenGroup = true;
            }
        } else if (line.kind == Kind::entry) {
            line.group = current;
        }
    }
}

QList<qsizetype> KConfigText::headers(const QStringList &group) const {
    QList<qsizetype> found;
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Kind::header && !group.isEmpty() && m_lines[i].group == group)
            found << i;
    return found;
}

qsizetype KConfigText::blockEnd(qsizetype header) const {
    qsizetype next = header + 1;
    while (next < m_lines.size() && m_lines[next].kind != Kind::header)
        ++next;
    if (next == m_lines.size())
        return next;
    while (next - 1 > header && m_lines[next - 1].kind == Kind::comment)
        --next;
    return next;
}

std::optional<qsizetype> KConfigText::lastEntry(const QStringList &group,
                                                const QString &key) const {
    for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::entry && line.group == group && line.key == key &&
            line.locale.isEmpty())
            return i;
    }
    return std::nullopt;
}

bool KConfigText::hasGroup(const QStringList &group) const {
    return std::any_of(m_lines.cbegin(), m_lines.cend(), [&](const Line &line) {
        return line.kind == Kind::entry && line.group == group;
    });
}

std::optional<QString> KConfigText::value(const QStringList &group, const QString &key) const {
    const std::optional<qsizetype> at = lastEntry(group, key);
    if (!at)
        return std::nullopt;
    const QByteArray &text = m_lines[*at].text;
    return QString::fromUtf8(text.mid(text.indexOf('=') + 1).trimmed());
}

bool KConfigText::isImmutable(const QStringList &group, const QString &key) const {
    if (m_fileImmutable)
        return true;
    for (const qsizetype header : headers(group))
        if (m_lines[header].options.contains('i'))
            return true;
    return !key.isEmpty() && std::any_of(m_lines.cbegin(), m_lines.cend(), [&](const Line &line) {
        return line.kind == Kind::entry && line.group == group && line.key == key &&
               line.locale.isEmpty() && line.options.contains('i');
    });
}

bool KConfigText::isGroupLocked(const QStringList &group) const {
    return isImmutable(group) ||
           std::any_of(m_lines.cbegin(), m_lines.cend(), [&](const Line &line) {
               return line.kind == Kind::entry && line.group == group && line.options.contains('i');
           });
}

bool KConfigText::isExpanded(const QStringList &group, const QString &key) const {
    const std::optional<qsizetype> at = lastEntry(group, key);
    return at && m_lines[*at].options.contains('e');
}

QByteArray KConfigText::groupText(const QStringList &group) const {
    QByteArray text;
    for (const qsizetype header : headers(group)) {
        qsizetype end = blockEnd(header);
        while (end > header + 1 && m_lines[end - 1].kind == Kind::blank)
            --end;
        for (qsizetype i = header; i < end; ++i)
            text += m_lines[i].text;
    }
    return text;
}

void KConfigText::setValue(const QStringList &group, const QString &key, const QString &value) {
    if (const std::optional<qsizetype> at = lastEntry(group, key)) {
        const QByteArray &text = m_lines[*at].text;
        qsizetype start = text.indexOf('=') + 1;
        while (start < text.size() && isSpace(text[start]))
            ++start;
        qsizetype end = text.size();
        while (end > start &&
               (isSpace(text[end - 1]) || text[end - 1] == '\n' || text[end - 1] == '\r'))
            --end;
        m_lines[*at].text = text.left(start) + value.toUtf8() + text.mid(end);
        return;
    }
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8() + '\n';
    const QList<qsizetype> found = headers(group);
    if (found.isEmpty())
        return insertGroupText(group, headerText(group) + entry);
    const qsizetype header = found.last();
    qsizetype after = header + 1;
    for (qsizetype i = header + 1; i < blockEnd(header); ++i)
        if (m_lines[i].kind == Kind::entry)
            after = i + 1;
    if (after == m_lines.size())
        ensureFinalLineBreak();
    insertLines(after, {entry});
}

void KConfigText::removeEntry(const QStringList &group, const QString &key) {
    m_lines.removeIf([&](const Line &line) {
        return line.kind == Kind::entry && line.group == group && line.key == key &&
               line.locale.isEmpty();
    });
    for (const qsizetype header : headers(group))
        for (qsizetype i = header + 1; i < blockEnd(header); ++i)
            if (m_lines[i].kind != Kind::blank)
                return;
    removeGroup(group);
}

void KConfigText::removeGroup(const QStringList &group) {
    const QList<qsizetype> found = headers(group);
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        const qsizetype header = *it;
        qsizetype end = blockEnd(header);
        qsizetype start = header;
        if (end == m_lines.size()) {
            // The last group: its trailing blank lines stay, the blank line before it goes.
            while (end > header + 1 && m_lines[end - 1].kind == Kind::blank)
                --end;
            if (start > 0 && m_lines[start - 1].kind == Kind::blank)
                --start;
        }
        m_lines.remove(start, end - start);
    }
    regroup();
}

qsizetype KConfigText::insertionPoint(const QStringList &group, bool &atEnd) const {
    const QByteArray key = sortKey(group);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::header && !line.group.isEmpty() && sortKey(line.group) > key) {
            atEnd = false;
            qsizetype at = i;
            while (at > 0 && m_lines[at - 1].kind == Kind::comment)
                --at;
            return at;
        }
    }
    atEnd = true;
    qsizetype at = m_lines.size();
    while (at > 0 && m_lines[at - 1].kind == Kind::blank)
        --at;
    return at;
}

void KConfigText::insertGroupText(const QStringList &group, const QByteArray &text) {
    QList<QByteArray> texts;
    for (const Line &line : KConfigText(text.endsWith('\n') ? text : text + '\n').m_lines)
        texts << line.text;
    bool atEnd = false;
    const qsizetype at = insertionPoint(group, atEnd);
    if (!atEnd) {
        texts << QByteArray("\n");
    } else {
        ensureFinalLineBreak();
        if (at > 0)
            texts.prepend(QByteArray("\n"));
    }
    insertLines(at, texts);
}

void KConfigText::insertLines(qsizetype at, const QList<QByteArray> &texts) {
    for (qsizetype i = 0; i < texts.size(); ++i)
        m_lines.insert(at + i, classify(texts[i]));
    regroup();
}

bool KConfigText::endsWithLineBreak() const {
    return m_lines.isEmpty() || m_lines.last().text.endsWith('\n');
}

void KConfigText::setFinalLineBreak(bool present) {
    if (present) {
        ensureFinalLineBreak();
    } else if (!endsWithLineBreak()) {
        return;
    } else if (QByteArray text = m_lines.last().text.chopped(1); text.isEmpty()) {
        m_lines.removeLast();
    } else {
        m_lines.last() = classify(text);
        regroup();
    }
}

void KConfigText::ensureFinalLineBreak() {
    if (!m_lines.isEmpty() && !m_lines.last().text.endsWith('\n'))
        m_lines.last().text += '\n';
}

} // namespace norvane
