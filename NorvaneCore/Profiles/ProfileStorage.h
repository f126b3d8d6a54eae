#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>

namespace norvane {

// Where the profile library keeps its document. Both operations may throw.
class ProfileStorage {
public:
    virtual ~ProfileStorage() = default;

    // The stored document, or none when nothing has been stored yet.
    [[nodiscard]] virtual std::optional<QByteArray> read() = 0;
    // Replaces the stored document with `data`, whole.
    virtual void write(const QByteArray &data) = 0;
    // Where the document is kept, as a person would look for it.
    [[nodiscard]] virtual QString location() const = 0;
    // Moves a stored document that cannot be used out of the way, whole, so that the next write
    // starts afresh; returns where it went.
    virtual QString setAside(const QDate &today) = 0;
};

} // namespace norvane
