// One measured launch for AppBench: either the whole Pellor application or a bare QQuickWidget
// window of the same size. Prints one line of JSON and exits.
//
//   AppBenchHost app|bare startup   time to the first rendered frame, the CPU time the process
//                                   used until then, and resident memory
//   AppBenchHost app|bare idle      CPU used over 60 seconds with the main window closed
//   AppBenchHost app closed         the start-up figures, then the main window is closed:
//                                   resident, private and proportional memory 4 s later, and
//                                   the time from "Open Main
//                                   Window" (AppDelegate::showWindow) to the reopened window's
//                                   first frame
#include "App/AppDelegate.h"
#include "App/Application.h"
#include "App/MainWindow.h"
#include "ProcessMemory.h"
#include "Workspace/DashboardController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
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

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void print(const QJsonObject &result) {
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

// The bare window: a QQuickWidget with one rectangle, shown at the application's size.
std::unique_ptr<QQuickWidget> bareWindow() {
    auto widget = std::make_unique<QQuickWidget>();
    widget->setResizeMode(QQuickWidget::SizeRootObjectToView);
    auto *component = new QQmlComponent(widget->engine(), widget.get());
    component->setData("import QtQuick\nRectangle { color: \"#f5f6f8\" }", QUrl());
    widget->setContent(QUrl(), component, component->create());
    widget->resize(980, 740);
    widget->show();
    return widget;
}

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool app = arguments.value(1) == QLatin1String("app");
    const bool idle = arguments.value(2) == QLatin1String("idle");
    const bool closed = app && arguments.value(2) == QLatin1String("closed");

    std::unique_ptr<norvane::AppDelegate> delegate;
    std::unique_ptr<QQuickWidget> bare;
    QQuickWindow *scene = nullptr;
    QWidget *window = nullptr;
    if (app) {
        norvane::configureApplication(application);
        delegate = std::make_unique<norvane::AppDelegate>();
        delegate->applicationDidFinishLaunching();
        scene = delegate->dashboard()->quickWindow();
        window = delegate->window();
    } else {
        QApplication::setQuitOnLastWindowClosed(false);
        bare = bareWindow();
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
            if (closed) {
                QTimer::singleShot(1000, &application, [&, firstFrameMs] {
                    const qint64 startResident = residentKiB();
                    delegate->window()->close();
                    // Whatever the application gives back on closing has been given back.
                    QTimer::singleShot(4000, &application, [&, firstFrameMs, startResident] {
                        const qint64 closedResident = residentKiB();
                        const qint64 closedAnon = processMemory::statusKiB("RssAnon:");
                        const qint64 closedFile = processMemory::statusKiB("RssFile:");
                        const qint64 closedProportional = processMemory::proportionalKiB();
                        const double openedAt = millisecondsSinceStart();
                        delegate->showWindow();
                        QObject::connect(
                            delegate->dashboard()->quickWindow(), &QQuickWindow::afterRendering,
                            &application,
                            [&, firstFrameMs, startResident, closedResident, closedAnon, closedFile,
                             closedProportional, openedAt, reported = false]() mutable {
                                if (std::exchange(reported, true))
                                    return;
                                print(
                                    {{"firstFrameMs", firstFrameMs},
                                     {"residentKiB", startResident},
                                     {"closedResidentKiB", closedResident},
                                     {"closedAnonKiB", closedAnon},
                                     {"closedFileKiB", closedFile},
                                     {"closedProportionalKiB", closedProportional},
                                     {"reopenFirstFrameMs", millisecondsSinceStart() - openedAt}});
                                application.quit();
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
                                   [&application, firstFrameMs, firstFrameCpuMs] {
                                       print({{"firstFrameMs", firstFrameMs},
                                              {"firstFrameCpuMs", firstFrameCpuMs},
                                              {"residentKiB", residentKiB()}});
                                       application.quit();
                                   });
                return;
            }
            QTimer::singleShot(0, window, &QWidget::close);
            QTimer::singleShot(2000, &application, [&application] {
                const double cpuBefore = cpuSeconds();
                QElapsedTimer wall;
                wall.start();
                QTimer::singleShot(60'000, &application, [&application, cpuBefore, wall] {
                    const double used = cpuSeconds() - cpuBefore;
                    print({{"cpuSeconds", used},
                           {"wallSeconds", wall.elapsed() / 1000.0},
                           {"cpuPercentOfOneCore", 100.0 * used / (wall.elapsed() / 1000.0)}});
                    application.quit();
                });
            });
        },
        Qt::QueuedConnection);
    return QApplication::exec();
}
