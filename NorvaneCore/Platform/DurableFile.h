#pragma once

#include <QByteArray>
#include <QDate>
#include <QFileDevice>
#include <QString>
#include <chrono>
#include <optional>

namespace norvane {

// Creates the file's folder (and missing parents) with mode 0700; an existing folder is left as
// it is. Throws PlatformError with the system's text on failure.
void createPrivateFolder(const QString &folderPath);

// Replaces the file at `path` with `data` atomically and durably: the data reaches the disk
// before the rename and the folder is synced after it, so after a crash the file holds either
// the old or the new bytes. Optionally sets the file's permissions afterwards.
// Throws PlatformError with the system's text on failure.
void writeFileDurably(const QString &path, const QByteArray &data,
                      std::optional<QFileDevice::Permissions> permissions = std::nullopt);

// Renames a damaged file beside itself, keeping every byte: "profiles.json" becomes
// "profiles-damaged-2026-12-07.json" (or "…-2.json", "…-3.json" when that name is taken).
// Returns the new path; throws PlatformError with the system's text when it cannot.
QString setAsideDamagedFile(const QString &path, const QDate &date);

// Removes what writeFileDurably() leaves beside `path` when its process is killed between
// linking its temporary file and renaming it over `path`: files named "<file name>.XXXXXX" (six
// random letters or digits, as QSaveFile names them) last modified more than `age` ago, so that
// a write in progress in another process is left alone. Never fails: a leftover only takes
// space.
void removeStaleTemporaryFiles(const QString &path,
                               std::chrono::seconds age = std::chrono::minutes(1));

} // namespace norvane
