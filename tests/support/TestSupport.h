#pragma once

#include "Platform/ConfigurationError.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFuture>
#include <QFutureWatcher>
#include <QProcessEnvironment>
#include <QString>
#include <QTimer>
#include <gtest/gtest.h>

namespace norvane::test {

// Runs `body` and returns the ConfigurationError it throws; fails the test when it throws
// nothing or something else.
template <typename Body> ConfigurationError configurationErrorFrom(Body &&body) {
    try {
        body();
    } catch (const ConfigurationError &error) {
        return error;
    } catch (const std::exception &other) {
        ADD_FAILURE() << "unexpected exception: " << other.what();
        return ConfigurationError::message(QStringLiteral("<unexpected exception>"));
    }
    ADD_FAILURE() << "expected a ConfigurationError, nothing was thrown";
    return ConfigurationError::message(QStringLiteral("<nothing thrown>"));
}

// The description of the error `body` throws, or "<nothing thrown>".
template <typename Body> QString errorTextFrom(Body &&body) {
    try {
        body();
    } catch (const std::exception &error) {
        return localizedDescription(error);
    }
    return QStringLiteral("<nothing thrown>");
}

// Sets an environment variable (a null value unsets it) while the object lives; child processes
// inherit it, and the previous value comes back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char *name, const QByteArray &value)
        : m_name(name), m_previous(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedVariable() {
        if (m_wasSet)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_previous;
    bool m_wasSet;
};

// The file's bytes, or none when it cannot be read.
QByteArray readBytes(const QString &path);
QString readTextFile(const QString &path);
// Replaces the file's contents, creating its folder; fails the test when it cannot.
void writeBytes(const QString &path, const QByteArray &data);

// What a program run to its end returned and printed.
struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};
// Runs `program` in `environment` until it ends, for a minute at most.
Outcome run(const QString &program, const QStringList &arguments,
            const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The permission bits (e.g. 0600) of a file or folder, or -1 when it does not exist.
int posixMode(const QString &path);

// Runs the event loop until `future` has finished. A generous guard fails the test instead of
// hanging when the future never finishes.
template <typename T> void waitFor(const QFuture<T> &future) {
    if (future.isFinished())
        return;
    QEventLoop loop;
    QFutureWatcher<T> watcher;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60'000, &loop, [&loop] {
        ADD_FAILURE() << "the future did not finish";
        loop.quit();
    });
    watcher.setFuture(future);
    loop.exec();
}

// Delivers the calls and continuations queued on this thread, including those they queue.
inline void processQueuedEvents() {
    for (int round = 0; round < 4; ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace norvane::test

// Lets GoogleTest print QStrings in failure messages.
QT_BEGIN_NAMESPACE
void PrintTo(const QString &text, std::ostream *os);
QT_END_NAMESPACE
