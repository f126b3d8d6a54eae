#pragma once

#include "Status/PowerAssertions.h"
#include "Status/SleepDiagnosis.h"

#include <QFuture>
#include <QObject>
#include <QQmlEngine>
#include <QStringList>
#include <functional>
#include <optional>

namespace norvane {

class SessionStore;
class SettingsModel;

// The settings window's "Why isn't my Mac sleeping?" section. Each new live snapshot of the
// settings model brings one read of pmset -g assertions, off the main thread (the settings model
// only reads while its window is visible); the diagnosis is built from both. Copy Report puts the
// plain-text report on the clipboard. Lives on the main thread.
class SleepDiagnosisModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The settings window creates its diagnosis")
    Q_PROPERTY(bool ready READ ready NOTIFY changed)
    Q_PROPERTY(QString displayText READ displayText NOTIFY changed)
    Q_PROPERTY(QStringList displayHolders READ displayHolders NOTIFY changed)
    Q_PROPERTY(QString sleepText READ sleepText NOTIFY changed)
    Q_PROPERTY(QStringList sleepHolders READ sleepHolders NOTIFY changed)
    Q_PROPERTY(QString lowPowerText READ lowPowerText NOTIFY changed)
    Q_PROPERTY(bool reportCopied READ reportCopied NOTIFY changed)

public:
    using AssertionReader = std::function<QFuture<std::optional<PowerAssertions>>()>;
    using Clipboard = std::function<void(const QString &)>;

    struct Environment {
        AssertionReader readAssertions; // one pmset -g assertions run, off the main thread
        Clipboard copy;                 // puts plain text on the clipboard
    };

    SleepDiagnosisModel(const SettingsModel &settings, const SessionStore &store,
                        Environment environment = {}, QObject *parent = nullptr);

    [[nodiscard]] bool ready() const { return m_diagnosis.has_value(); }
    [[nodiscard]] QString displayText() const;
    [[nodiscard]] QStringList displayHolders() const;
    [[nodiscard]] QString sleepText() const;
    [[nodiscard]] QStringList sleepHolders() const;
    [[nodiscard]] QString lowPowerText() const;
    // True from Copy Report until the diagnosis next changes.
    [[nodiscard]] bool reportCopied() const { return m_reportCopied; }

    // The report for the latest snapshot and assertions, with the applied profile's name and
    // time left; empty before the first snapshot.
    [[nodiscard]] QString report() const;
    Q_INVOKABLE void copyReport();

signals:
    void changed();

private:
    void snapshotArrived();

    const SettingsModel &m_settings;
    const SessionStore &m_store;
    Environment m_environment;
    std::optional<PowerAssertions> m_assertions;
    std::optional<SleepDiagnosis> m_diagnosis;
    bool m_reading = false;
    bool m_readAgain = false;
    bool m_reportCopied = false;
};

} // namespace norvane
