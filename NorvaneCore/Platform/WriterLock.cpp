#include "WriterLock.h"

#include "ConfigurationError.h"
#include "Localization/L10n.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPromise>
#include <QStandardPaths>
#include <QThread>
#include <QThreadPool>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace norvane {

namespace {

using namespace std::chrono_literals;

constexpr unsigned long kPollMilliseconds = 10;

// Waiting writers get threads of their own, so that they never hold up status reads.
QThreadPool &waitingPool() {
    static QThreadPool *pool = [] {
        auto *created = new QThreadPool;
        created->setMaxThreadCount(2);
        return created;
    }();
    return *pool;
}

bool lockNow(int descriptor) {
    int result = 0;
    do
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

void WriterLock::Hold::release() {
    // Closing the only descriptor of the open file releases the lock.
    if (m_descriptor >= 0)
        ::close(std::exchange(m_descriptor, -1));
}

WriterLock::WriterLock(QString path, std::chrono::milliseconds bound)
    : m_path(std::move(path)), m_bound(bound) {}

QString WriterLock::defaultPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(folder).filePath(QStringLiteral("pellor-writer.lock"));
}

std::chrono::milliseconds WriterLock::defaultBound() {
    bool ok = false;
    const int milliseconds = qEnvironmentVariableIntValue("PELLOR_WRITER_WAIT_MS", &ok);
    return ok && milliseconds >= 0 ? std::chrono::milliseconds(milliseconds) : 15s;
}

int WriterLock::openLockFile() const {
    const int descriptor =
        ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        throw PlatformError(QStringLiteral("Could not open “%1”: %2")
                                .arg(m_path, QString::fromLocal8Bit(std::strerror(errno))));
    return descriptor;
}

std::unique_ptr<WriterLock::Hold> WriterLock::tryTake() const {
    const int descriptor = openLockFile();
    if (lockNow(descriptor))
        return std::make_unique<Hold>(descriptor);
    ::close(descriptor);
    return nullptr;
}

std::unique_ptr<WriterLock::Hold> WriterLock::waitForTurn() const {
    const int descriptor = openLockFile();
    // flock() cannot wait with a time limit, so the wait polls: a turn lasts milliseconds on a
    // desktop and seconds on a Mac, next to which the interval is nothing.
    const QDeadlineTimer deadline(m_bound);
    while (!lockNow(descriptor)) {
        if (deadline.hasExpired()) {
            ::close(descriptor);
            throw ConfigurationError::message(L10n::text(
                "Another change is under way, so Pellor changed nothing. Try again when it has finished."));
        }
        QThread::msleep(kPollMilliseconds);
    }
    return std::make_unique<Hold>(descriptor);
}

QFuture<std::shared_ptr<WriterLock::Hold>> WriterLock::take() const {
    auto promise = std::make_shared<QPromise<std::shared_ptr<Hold>>>();
    promise->start();
    waitingPool().start([lock = *this, promise] {
        try {
            promise->addResult(std::shared_ptr<Hold>(lock.waitForTurn()));
        } catch (...) {
            promise->setException(std::current_exception());
        }
        promise->finish();
    });
    return promise->future();
}

} // namespace norvane
