#pragma once

// What the desktop tests share: pellorctl run to its end, a backend whose change lands half-way,
// and a backup made before Pellor knew some of its native values.
#include "Configuration/ConfigurationTransaction.h"
#include "Services/DesktopConfigurationBackend.h"
#include "TestSupport.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace norvane::test {

inline Outcome
pellorctl(const QStringList &arguments,
          const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) {
    return run(NORVANE_BIN_DIR "/pellorctl", arguments, environment);
}

// Each test on an empty dconf database and without Pellor's files of an earlier test.
struct FreshDconf : ::testing::Test {
    void SetUp() override {
        run("dconf", {"reset", "-f", "/"});
        QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Norvane").removeRecursively();
    }
};

// The configuration backend of the desktop `Adapter` drives, with its backup at `path`.
template <typename Adapter>
std::shared_ptr<DesktopConfigurationBackend> desktopBackend(const QString &path,
                                                            const QString &id) {
    return std::make_shared<DesktopConfigurationBackend>(std::make_shared<Adapter>(),
                                                         OriginalSettingsBackup(path, id));
}

// Fails the first write after letting it through, the way a change that lands half-way does.
class FailingAfterWrite final : public ConfigurationBackend {
public:
    explicit FailingAfterWrite(std::shared_ptr<ConfigurationBackend> inner)
        : m_inner(std::move(inner)) {}
    MacConfiguration read() override { return m_inner->read(); }
    void saveOriginalIfNeeded(const MacConfiguration &c) override {
        m_inner->saveOriginalIfNeeded(c);
    }
    MacConfiguration loadOriginal() override { return m_inner->loadOriginal(); }
    void write(const MacConfiguration &configuration) override {
        m_inner->write(configuration);
        if (++writes == 1)
            throw ConfigurationError::message("the second half failed");
    }
    [[nodiscard]] MacConfiguration systemDefaults(const MacConfiguration &current) const override {
        return m_inner->systemDefaults(current);
    }
    [[nodiscard]] bool holdsScreenSaver() const override { return m_inner->holdsScreenSaver(); }
    int writes = 0;

private:
    std::shared_ptr<ConfigurationBackend> m_inner;
};

// Applies Download through `backend` with its first write failing once it landed: the rollback
// writes once more and says so. The caller checks that the settings are as they were.
inline void applyFailingHalfWay(std::shared_ptr<ConfigurationBackend> backend) {
    const auto failing = std::make_shared<FailingAfterWrite>(std::move(backend));
    ConfigurationTransaction halfWay(failing);
    EXPECT_EQ(
        errorTextFrom([&] { (void)halfWay.apply(Profile::download()); }),
        "Could not apply settings. The previous settings were restored.\nthe second half failed");
    EXPECT_EQ(failing->writes, 2);
}

// Makes the backup at `path` one from before Pellor knew the native values whose names contain
// `fragment`, at the top or inside a group.
inline void forgetInBackup(const QString &path, const QString &fragment) {
    const std::function<QJsonObject(QJsonObject)> forget = [&](QJsonObject values) {
        for (const QString &key : values.keys())
            if (key.contains(fragment))
                values.remove(key);
            else if (values[key].isObject())
                values[key] = forget(values[key].toObject());
        return values;
    };
    QJsonObject backup = QJsonDocument::fromJson(readBytes(path)).object();
    backup["native"] = forget(backup["native"].toObject());
    writeBytes(path, QJsonDocument(backup).toJson());
}

} // namespace norvane::test
