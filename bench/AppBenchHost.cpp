// One measured launch for AppBench: either the whole Pellor application, with the renderer it
// chooses for this machine, or a bare QQuickWidget window of the same size drawn with OpenGL or
// with Qt Quick's software renderer. Prints one line of JSON, with the renderer that drew the
// window, and exits.
//
//   AppBenchHost app|bareOpenGL|bareSoftware|floor startup
//                                   time to the first rendered frame, the CPU time the process
//                                   used until then, and resident memory; "floor" is what every
//                                   Pellor window needs: a main window with Pellor's menu bar
//                                   over a QQuickWidget showing one Controls Label, drawn in
//                                   software
//   AppBenchHost app idle|idleOpen  CPU used over 60 seconds with the main window closed, or
//                                   open; by Pellor itself, and with the stand-in tools it ran
//   AppBenchHost app closed         the start-up figures, then the main window is closed:
//                                   resident, private and proportional memory 4 s later, and
//                                   the time from "Open Main Window" (AppDelegate::showWindow) to
//                                   the reopened window's first frame
#include "App/AppDelegate.h"
#include "App/Application.h"
#include "App/MainMenu.h"
#include "App/MainWindow.h"
#include "ProcessMemory.h"
#include "Profiles/Profile.h"
#include "Workspace/DashboardController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QQmlComponent>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <utility>

namespace {

const auto processStart = std::chrono::steady_clock::now();

double millisecondsSinceStart() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                     processStart)
        .count();
}

qint64 residentKiB() {
    return processMemory::statusKiB();
}

// This process's CPU time, or that of the children it has waited for.
double cpuSeconds(int who = RUSAGE_SELF) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval &t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void print(const QJsonObject &result) {
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

QString rendererName(QQuickWindow *scene) {
    switch (scene->rendererInterface()->graphicsApi()) {
    case QSGRendererInterface::Software:
        return QStringLiteral("software");
    case QSGRendererInterface::OpenGL:
        return QStringLiteral("OpenGL");
    default:
        return QStringLiteral("other");
    }
}

// The bare window: a QQuickWidget with one rectangle, shown at the application's size.
std::unique_ptr<QQuickWidget> bareWindow(QSGRendererInterface::GraphicsApi api) {
    QQuickWindow::setGraphicsApi(api);
    auto widget = std::make_unique<QQuickWidget>();
    widget->setResizeMode(QQuickWidget::SizeRootObjectToView);
    auto *component = new QQmlComponent(widget->engine(), widget.get());
    component->setData("import QtQuick\nRectangle { color: \"#f5f6f8\" }", QUrl());
    widget->setContent(QUrl(), component, component->create());
    widget->resize(980, 740);
    widget->show();
    return widget;
}

// Pellor's menu bar with nothing behind its items.
class InertMenuTarget : public norvane::MainMenuTarget {
public:
    void about() override {}
    void showSettings() override {}
    [[nodiscard]] std::optional<bool> opensAtLogin() const override { return false; }
    void setOpensAtLogin(bool) override {}
    void hideApplication() override {}
    void hideOtherApplications() override {}
    void unhideAllApplications() override {}
    void quit() override {}
    void switchProfile(const QVariant &) override {}
    void newProfile() override {}
    void undoProfileDeletion() override {}
    void sendStandardEdit(QKeySequence::StandardKey) override {}
    void showMenuBar() override {}
    void changeAppearance(int) override {}
    void showWindow() override {}
    void minimizeWindow() override {}
    void closeWindow() override {}
};

// The floor: a main window with Pellor's menu bar over a QQuickWidget that shows one Controls
// Label, in software, at the application's size.
std::unique_ptr<QMainWindow> floorWindow(QQuickWidget *&widget) {
    static InertMenuTarget target;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    auto window = std::make_unique<QMainWindow>();
    norvane::MainMenu::State state;
    for (const norvane::Profile &profile : norvane::Profile::presets())
        state.profiles.append({profile.id, profile.localizedTitle()});
    window->setMenuBar(norvane::MainMenu::build(state, target, window.get()));
    widget = new QQuickWidget(window.get());
    widget->setResizeMode(QQuickWidget::SizeRootObjectToView);
    auto *component = new QQmlComponent(widget->engine(), widget);
    component->setData("import QtQuick\nimport QtQuick.Controls.Basic\n"
                       "Rectangle { color: \"#f5f6f8\"; Label { text: \"Pellor\" } }",
                       QUrl());
    widget->setContent(QUrl(), component, component->create());
    window->setCentralWidget(widget);
    window->resize(980, 740);
    window->show();
    return window;
}

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool app = arguments.value(1) == QLatin1String("app");
    const bool idleOpen = arguments.value(2) == QLatin1String("idleOpen");
    const bool idle = idleOpen || arguments.value(2) == QLatin1String("idle");
    const bool closed = app && arguments.value(2) == QLatin1String("closed");

    std::unique_ptr<norvane::AppDelegate> delegate;
    std::unique_ptr<QQuickWidget> bare;
    std::unique_ptr<QMainWindow> floor;
    QQuickWindow *scene = nullptr;
    QWidget *window = nullptr;
    if (arguments.value(1) == QLatin1String("floor")) {
        norvane::configureApplication(application);
        QQuickWidget *widget = nullptr;
        floor = floorWindow(widget);
        scene = widget->quickWindow();
        window = floor.get();
    } else if (app) {
        norvane::configureApplication(application);
        delegate = std::make_unique<norvane::AppDelegate>();
        delegate->applicationDidFinishLaunching();
        scene = delegate->dashboard()->quickWindow();
        window = delegate->window();
    } else {
        QApplication::setQuitOnLastWindowClosed(false);
        bare = bareWindow(arguments.value(1) == QLatin1String("bareSoftware")
                              ? QSGRendererInterface::Software
                              : QSGRendererInterface::OpenGL);
        scene = bare->quickWindow();
        window = bare.get();
    }

    QObject::connect(
        scene, &QQuickWindow::afterRendering, &application,
        [&, firstFrameMs = millisecondsSinceStart(), done = false]() mutable {
            if (done)
                return;
            done = true;
            firstFrameMs = millisecondsSinceStart();
            const QString renderer = rendererName(scene);
            if (closed) {
                QTimer::singleShot(1000, &application, [&, firstFrameMs, renderer] {
                    const qint64 startResident = residentKiB();
                    delegate->window()->close();
                    // Whatever the application gives back on closing has been given back.
                    QTimer::singleShot(
                        4000, &application, [&, firstFrameMs, renderer, startResident] {
                            const qint64 closedResident = residentKiB();
                            const qint64 closedAnon = processMemory::statusKiB("RssAnon:");
                            const qint64 closedFile = processMemory::statusKiB("RssFile:");
                            const qint64 closedProportional = processMemory::proportionalKiB();
                            const double openedAt = millisecondsSinceStart();
                            delegate->showWindow();
                            QObject::connect(
                                delegate->dashboard()->quickWindow(), &QQuickWindow::afterRendering,
                                &application,
                                [&, firstFrameMs, renderer, startResident, closedResident,
                                 closedAnon, closedFile, closedProportional, openedAt,
                                 reported = false]() mutable {
                                    if (std::exchange(reported, true))
                                        return;
                                    print({{"renderer", renderer},
                                           {"firstFrameMs", firstFrameMs},
                                           {"residentKiB", startResident},
                                           {"closedResidentKiB", closedResident},
                                           {"closedAnonKiB", closedAnon},
                                           {"closedFileKiB", closedFile},
                                           {"closedProportionalKiB", closedProportional},
                                           {"reopenFirstFrameMs",
                                            millisecondsSinceStart() - openedAt}});
                                    QApplication::quit();
                                },
                                Qt::QueuedConnection);
                        });
                });
                return;
            }
            if (!idle) {
                // Resident memory once the first frame is up and the start-up work has settled.
                const double firstFrameCpuMs = cpuSeconds() * 1000.0;
                QTimer::singleShot(1000, &application,
                                   [&application, renderer, firstFrameMs, firstFrameCpuMs] {
                                       print({{"renderer", renderer},
                                              {"firstFrameMs", firstFrameMs},
                                              {"firstFrameCpuMs", firstFrameCpuMs},
                                              {"residentKiB", residentKiB()}});
                                       QApplication::quit();
                                   });
                return;
            }
            if (!idleOpen)
                QTimer::singleShot(0, window, &QWidget::close);
            // The start-up work and the welcome's fade have ended by then.
            QTimer::singleShot(3000, &application, [&application, renderer] {
                const double cpuBefore = cpuSeconds();
                const double toolsBefore = cpuSeconds(RUSAGE_CHILDREN);
                QElapsedTimer wall;
                wall.start();
                QTimer::singleShot(
                    60'000, &application, [&application, renderer, cpuBefore, toolsBefore, wall] {
                        const double seconds = double(wall.elapsed()) / 1000.0;
                        const double used = cpuSeconds() - cpuBefore;
                        const double tools = cpuSeconds(RUSAGE_CHILDREN) - toolsBefore;
                        print({{"renderer", renderer},
                               {"cpuSeconds", used},
                               {"wallSeconds", seconds},
                               {"cpuPercentOfOneCore", 100.0 * used / seconds},
                               {"withToolsPercentOfOneCore", 100.0 * (used + tools) / seconds}});
                        QApplication::quit();
                    });
            });
        },
        Qt::QueuedConnection);
    return QApplication::exec();
}
