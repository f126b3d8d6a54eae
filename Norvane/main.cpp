#include "App/AppDelegate.h"
#include "App/Application.h"
#include "App/RemoteControl.h"
#include "App/ReopenChannel.h"
#include "Platform/SignalWatcher.h"
#include "Worlds/WorldChoice.h"
#ifdef NORVANE_DESKTOP_WORLDS
#include "DesktopWorlds.h"
#include "Services/FreedesktopNotices.h"
#endif

#include <QApplication>

int main(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> status = norvane::answerCommandLine(arguments))
        return *status;
    QApplication application(argc, argv);
    norvane::configureApplication(application);
    if (norvane::ReopenChannel::askRunningInstance())
        return 0;
#ifdef NORVANE_DESKTOP_WORLDS
    norvane::offerDesktopWorlds();
#endif
    norvane::useSystemWorld();
    norvane::AppDelegate::Options options{.openedAtLogin = norvane::openedAtLogin(arguments)};
#ifdef NORVANE_DESKTOP_WORLDS
    options.noticeCentre = [](QObject *parent) -> norvane::NoticeCentre * {
        return new norvane::FreedesktopNotices(QStringLiteral("Pellor"),
                                               QGuiApplication::desktopFileName(), parent);
    };
#endif
    norvane::AppDelegate delegate(std::move(options));
    norvane::ReopenChannel channel([&delegate](const norvane::control::Request &request,
                                               const norvane::ReopenChannel::Reply &reply) {
        norvane::RemoteControl::handle(delegate, request, reply);
    });
    // SIGTERM and SIGINT let an apply under way finish before Pellor ends.
    norvane::SignalWatcher terminationSignals;
    QObject::connect(&terminationSignals, &norvane::SignalWatcher::received, &delegate,
                     &norvane::AppDelegate::terminateWhenIdle);
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
