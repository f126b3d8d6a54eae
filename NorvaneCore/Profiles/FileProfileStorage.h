#pragma once

#include "ProfileStorage.h"

#include <QString>

namespace norvane {

// The profiles file: read whole, replaced atomically and durably in a folder only its owner can
// enter. Failures throw PlatformError with the system's text.
class FileProfileStorage final : public ProfileStorage {
public:
    // No location: "Norvane/profiles.json" in the user's application data folder.
    explicit FileProfileStorage(const std::optional<QString> &url = std::nullopt);

    [[nodiscard]] const QString &url() const { return m_url; }

    [[nodiscard]] std::optional<QByteArray> read() override;
    void write(const QByteArray &data) override;
    [[nodiscard]] QString location() const override { return m_url; }
    // Renames the file beside itself ("profiles-damaged-<date>.json").
    QString setAside(const QDate &today) override;

    [[nodiscard]] static QString defaultLocation();

private:
    QString m_url;
};

} // namespace norvane
