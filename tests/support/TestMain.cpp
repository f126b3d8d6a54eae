#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    // Changes take their turns through a lock in the runtime folder: one of the run's own, never
    // the user's.
    const QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    // No administrator's folder unless a test makes one: never the machine's /etc/xdg/pellor.
    const QTemporaryDir configuration;
    qputenv("XDG_CONFIG_DIRS", configuration.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
