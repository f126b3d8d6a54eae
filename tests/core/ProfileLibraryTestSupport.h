#pragma once

#include "Platform/ConfigurationError.h"
#include "Profiles/Profile.h"
#include "Profiles/ProfileStorage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <ostream>
#include <utility>

namespace norvane::test {

// Storage in memory that can fail its Nth operation (reads and writes counted together) with a
// PlatformError, leaving the stored bytes as they were.
class MemoryProfileStorage final : public ProfileStorage {
public:
    explicit MemoryProfileStorage(std::optional<QByteArray> data = std::nullopt)
        : bytes(std::move(data)) {}

    std::optional<QByteArray> read() override {
        count();
        return bytes;
    }

    void write(const QByteArray &data) override {
        count();
        bytes = data;
        ++writes;
    }

    [[nodiscard]] QString location() const override { return QStringLiteral("memory"); }
    QString setAside(const QDate &) override {
        count();
        setAsideBytes = std::exchange(bytes, std::nullopt);
        return QStringLiteral("memory aside");
    }

    static QString injectedText(int operation) {
        return QStringLiteral("Input/output error (injected at operation %1)").arg(operation);
    }

    std::optional<QByteArray> bytes;
    std::optional<QByteArray> setAsideBytes;
    int operations = 0;
    int writes = 0;
    int failAt = 0; // 0: never fail

private:
    void count() {
        if (++operations == failAt)
            throw PlatformError(injectedText(operations));
    }
};

inline Profile customProfile(const QString &id, const QString &title, qint64 displayMinutes = 10) {
    return {id, title, ProfileIcon::sliders, displayMinutes, 20, 600, 0};
}

// A profiles document as the file holds it.
inline QByteArray documentBytes(const QList<Profile> &profiles, const QList<Profile> &deleted = {},
                                qint64 version = 1) {
    QJsonArray profileArray;
    QJsonArray deletedArray;
    for (const Profile &profile : profiles)
        profileArray.append(profile.toJson());
    for (const Profile &profile : deleted)
        deletedArray.append(profile.toJson());
    return QJsonDocument(QJsonObject{{"deleted", deletedArray},
                                     {"profiles", profileArray},
                                     {"version", version}})
        .toJson();
}

} // namespace norvane::test

namespace norvane {

inline void PrintTo(const Profile &p, std::ostream *os) {
    *os << "Profile(" << p.id.toStdString() << ", \"" << p.title.toStdString() << "\", "
        << p.icon.rawValue().toStdString() << ", " << p.displayMinutes << ", " << p.sleepMinutes
        << ", " << p.screenSaverSeconds << ", " << p.defaultMinutes << ")";
}

} // namespace norvane
