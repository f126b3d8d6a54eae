#pragma once

// Shared pieces of the libFuzzer targets: a check that stops the run with a finding, and a
// reader that takes typed values off the front of the fuzzer's bytes.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken oracle is a finding: libFuzzer keeps the input that caused the abort.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace norvane::fuzz {

class Input {
public:
    Input(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data)), m_size(qsizetype(size)) {}

    [[nodiscard]] bool atEnd() const { return m_position >= m_size; }
    [[nodiscard]] qsizetype remaining() const { return m_size - m_position; }

    uint8_t byte() { return atEnd() ? 0 : uint8_t(m_data[m_position++]); }
    qint64 integer() {
        quint64 value = 0;
        for (int i = 0; i < 8; ++i)
            value = value << 8 | byte();
        return qint64(value);
    }
    // A small number: most inputs should exercise ordinary values.
    qint64 small() { return qint64(byte()) - 16; }
    // The bytes up to the next zero byte (or the end), as UTF-8.
    QString text() { return QString::fromUtf8(bytes()); }
    QByteArray bytes() {
        const qsizetype start = m_position;
        while (!atEnd() && m_data[m_position] != '\0')
            ++m_position;
        QByteArray result(m_data + start, m_position - start);
        if (!atEnd())
            ++m_position; // the zero byte
        return result;
    }
    // Everything not read yet.
    QByteArray rest() {
        QByteArray result(m_data + m_position, m_size - m_position);
        m_position = m_size;
        return result;
    }

private:
    const char *m_data;
    qsizetype m_size;
    qsizetype m_position = 0;
};

inline QString utf8(const uint8_t *data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace norvane::fuzz
