#pragma once

#include <QFuture>
#include <QString>
#include <chrono>
#include <memory>

namespace norvane {

// One writer of the system's settings at a time, across every Pellor process of the user (the
// application, each pellorctl): a change holds the lock from its first read to its verified
// read-back and the session record it leaves behind. An advisory lock (flock) on a file in the
// user's runtime folder, which the kernel releases when its holder ends, however it ends. Unlike
// QLockFile's, it is never taken over as stale while its holder waits on the authorization
// dialog for as long as the person takes.
class WriterLock {
public:
    // The writer's turn: held until it is released or destroyed; then the next writer goes in.
    class Hold {
    public:
        explicit Hold(int descriptor) : m_descriptor(descriptor) {}
        ~Hold() { release(); }
        // Ends the turn now, however many owners share this hold.
        void release();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;
        Hold(Hold &&) = delete;
        Hold &operator=(Hold &&) = delete;

    private:
        int m_descriptor;
    };

    // `bound`: how long take() waits for another writer to finish.
    explicit WriterLock(QString path = defaultPath(),
                        std::chrono::milliseconds bound = defaultBound());

    // pellor-writer.lock in the user's runtime folder (XDG_RUNTIME_DIR).
    [[nodiscard]] static QString defaultPath();
    // 15 seconds, or PELLOR_WRITER_WAIT_MS milliseconds.
    [[nodiscard]] static std::chrono::milliseconds defaultBound();

    [[nodiscard]] const QString &path() const { return m_path; }

    // The turn at once, or none while another writer holds it. One open() and one flock(), cheap
    // enough for the main thread. Throws PlatformError when the lock file cannot be opened.
    [[nodiscard]] std::unique_ptr<Hold> tryTake() const;
    // Waits off the calling thread for the turn, for at most the bound. The future carries the
    // hold, or the ConfigurationError "Another change is under way…" once the bound has passed.
    [[nodiscard]] QFuture<std::shared_ptr<Hold>> take() const;

private:
    // Blocks until the turn is this process's; throws as take() reports.
    [[nodiscard]] std::unique_ptr<Hold> waitForTurn() const;
    [[nodiscard]] int openLockFile() const;

    QString m_path;
    std::chrono::milliseconds m_bound;
};

} // namespace norvane
