#pragma once

#include "Profile.h"
#include "ProfileStorage.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace norvane {

// Owns the user's profiles and keeps them in storage. Loads once at creation; a stored document
// that cannot be used leaves the library protected: it shows the factory presets, keeps the
// reason in loadError() and refuses every change, so the original is never overwritten.
// Every change is validated as a whole document and written before it becomes current.
// Not thread-safe: use it from the main thread only.
class ProfileLibrary {
public:
    explicit ProfileLibrary(std::shared_ptr<ProfileStorage> storage);
    Q_DISABLE_COPY_MOVE(ProfileLibrary)

    // The administrator's managed profiles first, then the person's. A person's profile whose
    // identifier a managed one has is not listed while the managed one is (it stays stored);
    // titles may repeat between the two.
    [[nodiscard]] const QList<Profile> &profiles() const { return m_listed; }
    [[nodiscard]] bool canUndoDeletion() const { return !m_document.deleted.isEmpty(); }
    [[nodiscard]] const std::optional<QString> &loadError() const { return m_loadError; }
    // Where the profiles are kept, for messages.
    [[nodiscard]] QString location() const { return m_storage->location(); }

    // Lists the administrator's profiles beside the person's, which cannot change them, and says
    // whether the person may add profiles of their own (save a new one, duplicate).
    void setManaged(const QList<Profile> &profiles, bool customProfilesAllowed);
    [[nodiscard]] bool isManaged(const QString &id) const;

    // The first profile in profiles() with this identifier; deleted profiles are not searched.
    [[nodiscard]] std::optional<Profile> profile(const QString &id) const;
    // The profile a switch uses: the one with this identifier, and for Normal always one (the
    // factory Normal when none is stored).
    [[nodiscard]] std::optional<Profile> profileOrNormal(const QString &id) const;
    // The stored Normal, or the factory one when it is missing.
    [[nodiscard]] Profile normal() const;

    // Replaces the profile with the same identifier in place, or appends it. A managed profile
    // cannot be saved, nor a new one while the policy allows no custom profiles.
    void save(const Profile &profile);
    // The library's delete: moves a custom profile to the end of the deleted list, from where
    // undoDeletion() brings it back. An unknown identifier is ignored.
    void remove(const QString &id);
    // Stores a copy under a new identifier and a free " Copy" name, and returns it.
    Profile duplicate(const QString &id);
    // Puts a preset back to its factory values, in place.
    void resetPreset(const QString &id);
    // Restores the most recently deleted profile, renamed when its title has been taken, and
    // returns it as restored; none when nothing was deleted.
    std::optional<Profile> undoDeletion();
    // The way out of a stored document that could not be loaded: moves it aside, whole, and
    // starts again from the factory presets, which may be changed from then on. Returns where
    // the old document went. Does nothing and returns none when the load succeeded.
    std::optional<QString> setAsideAndStartFresh(const QDate &today);

    // Called after every successful change, once the new state is in place.
    std::function<void()> onChange;

private:
    struct Document {
        qint64 version = 1;
        QList<Profile> profiles = Profile::presets();
        QList<Profile> deleted;

        // Decodes all keys and profiles; throws PlatformError on malformed data.
        static Document decode(const QByteArray &data);
        [[nodiscard]] QByteArray encoded() const;
        // The document with every profile in validated form; throws ConfigurationError.
        [[nodiscard]] Document validated() const;
    };

    void load();
    void commit(const Document &document);
    void list();

    std::shared_ptr<ProfileStorage> m_storage;
    Document m_document;
    std::optional<QString> m_loadError;
    QList<Profile> m_managed;
    bool m_customProfilesAllowed = true;
    QList<Profile> m_listed; // m_managed, then the person's profiles they do not hide
};

} // namespace norvane
