#pragma once

#include <QByteArray>
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
};

} // namespace norvane
